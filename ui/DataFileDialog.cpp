#include "ui/DataFileDialog.h"

#include <QDir>
#include <QFileDialog>

#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DisplayText.h"

namespace tessaly {

QString AskDataFile(QWidget* parent, DataFileAccess access) {
    const bool import = access == DataFileAccess::Import;
    QFileDialog dialog(parent, ToDisplay(GetMessageText(import ? msg::kImportFromFile : msg::kExportToFile)),
                       QDir::currentPath(), QStringLiteral("Template Data Files (*.tdf)"));
    dialog.setAcceptMode(import ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(import ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("tdf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace tessaly
