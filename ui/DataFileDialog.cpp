#include "ui/DataFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

#include "text/MessageId.h"
#include "text/MessageTable.h"
#include "ui/DisplayText.h"

namespace tessaly {

namespace {

// One filter per format; the first extension of the chosen one is added to a name typed without one.
const QStringList kFilters = {
    QStringLiteral("Template Data Files (*.tdf)"),
    QStringLiteral("Intel HEX (*.hex *.ihex)"),
    QStringLiteral("S-record (*.srec *.s19 *.s28 *.s37 *.mot)"),
    QStringLiteral("Binary (*.bin)"),
};

QString FirstExtension(const QString& filter) {
    const qsizetype star = filter.indexOf(QStringLiteral("*."));
    return filter.mid(star + 2).section(QRegularExpression(QStringLiteral("[ )]")), 0, 0);
}

}  // namespace

QString AskDataFile(QWidget* parent, DataFileAccess access) {
    const bool import = access == DataFileAccess::Import;
    QFileDialog dialog(parent, ToDisplay(GetMessageText(import ? msg::kImportFromFile : msg::kExportToFile)),
                       QDir::currentPath());
    dialog.setNameFilters(kFilters);
    dialog.setAcceptMode(import ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(import ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(FirstExtension(kFilters.constFirst()));
    QObject::connect(&dialog, &QFileDialog::filterSelected,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(FirstExtension(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace tessaly
