#pragma once

#include <vector>

#include "engine/ModelTypes.h"
#include "engine/Unit.h"
#include "ui/ListRow.h"

namespace tessaly {

// The main frame as the item view sees it. The frame implements it and hands it to each view it creates;
// the view calls it from the user-interface thread only.
class ItemViewFrame {
  public:
    virtual ~ItemViewFrame() = default;

    // True while the device worker runs an operation. The worker then owns the images of the unit it was
    // given, so the view opens no editor, changes no enabled flag and stores, imports or exports nothing
    // until this is false again. The answer must be current: the view asks it before every such write.
    virtual bool IsDeviceBusy() const = 0;
    // While the worker may write into this unit's data image (from the request until its Read is done, the
    // operation has ended or the worker has stopped), the unit's rows as they were when the operation
    // started, which the view shows, greyed, in place of rows built from the image; null otherwise.
    virtual const std::vector<ListRow>* RowsInOperation(const Unit& unit) const = 0;

    // The bus of the unit the view has just put on show.
    virtual void SetBusMode(BusKind bus) = 0;

    // The view shows a newly loaded template, so the Import and Export commands have a unit to work on.
    virtual void EnableImportExport(bool on) = 0;
};

}  // namespace tessaly
