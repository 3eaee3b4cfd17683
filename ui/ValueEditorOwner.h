#pragma once

#include <QString>

#include "ui/EditedValue.h"

namespace tessaly {

// The item list as its in-place editors see it.
class ValueEditorOwner {
  public:
    virtual ~ValueEditorOwner() = default;

    // Whether text, just typed into an edit box, may stay; false makes the editor undo the change.
    virtual bool AcceptsTypedText(const QString& text) = 0;

    // The edit ended with value and the key that ended it (InputKey.h). Called once per editor; the owner
    // closes the editor afterwards and may start another one from inside this call.
    virtual void EditEnded(const EditedValue& value, int key) = 0;
};

}  // namespace tessaly
