#pragma once

namespace tessaly {

// The verdict on an edited value text; the numbers are the codes the item list acts on.
enum class ValueCheck : int {
    Valid = 0,
    WrongOrAboveMaximum = 1,
    BelowMinimum = -1,
    CannotJudge = -2,
};

}  // namespace tessaly
