#pragma once

#include "ui/OptionsPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tessaly {

// The Options dialog's general preferences: the recent-file list's size, the item list's behaviour, the
// fill byte of new memory images and the notices after Program and Verify.
class GeneralPage : public OptionsPage {
    Q_OBJECT

  public:
    GeneralPage(AppSettings& settings, QWidget* parent);

    // Stores the check boxes and the alignment, then the recent-file list's size (0 to 24), then the fill
    // byte ("0x" and hexadecimal digits, of which the low 8 bits count).
    bool ApplyChanges() override;

  private:
    QWidget* CreateCommonGroup();
    QWidget* CreateItemListGroup();
    QWidget* CreateMemoryGroup();
    QWidget* CreateItemsGroup();
    QWidget* CreateNotificationGroup();
    void ShowSettings();

    QLineEdit* mruSize_ = nullptr;
    QCheckBox* listResize_ = nullptr;
    QComboBox* nameAlignment_ = nullptr;
    QLineEdit* memoryInit_ = nullptr;
    QCheckBox* enableTips_ = nullptr;
    QCheckBox* editOnError_ = nullptr;
    QCheckBox* confirmProgram_ = nullptr;
    QCheckBox* confirmVerify_ = nullptr;
    QCheckBox* backupBeforeProgram_ = nullptr;
};

}  // namespace tessaly
