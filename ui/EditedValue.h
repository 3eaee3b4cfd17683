#pragma once

#include <QString>

namespace tessaly {

// What an in-place editor of the item list holds when it is checked or ends: the text it shows and, for a
// drop-down list, the position of the chosen entry among the texts the owner offered (-1 when none is
// chosen, or for an edit box). The position lets the owner map a choice back to its exact bytes.
struct EditedValue {
    QString text;
    int choice = -1;
};

}  // namespace tessaly
