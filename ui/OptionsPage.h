#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "settings/AppSettings.h"

class QLineEdit;

namespace tessaly {

// A page of the Options dialog. Every page edits the dialog's one copy of the settings.
class OptionsPage : public QWidget {
    Q_OBJECT

  public:
    // Copies the controls' values into the settings copy, field by field in the page's order. At the
    // first value that is not acceptable it returns false with ErrorText naming that field; the fields
    // before it are stored already.
    virtual bool ApplyChanges() = 0;
    const std::string& ErrorText() const { return errorText_; }

  protected:
    OptionsPage(AppSettings& settings, QWidget* parent);

    AppSettings& Settings() { return settings_; }
    const AppSettings& Settings() const { return settings_; }

    // Names the rejected field by its message and returns false, for ApplyChanges to return.
    bool Reject(std::uint16_t message);

    // The edit's text as a decimal number ("%d"): false when it holds none.
    static bool ReadNumber(const QLineEdit& edit, std::int32_t& value);

  private:
    AppSettings& settings_;
    std::string errorText_;
};

}  // namespace tessaly
