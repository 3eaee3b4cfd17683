#pragma once

#include <string>

#include "text/Prompt.h"
#include "ui/OptionsPage.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QSlider;

namespace tessaly {

class ProgrammerPlugin;

// The Options dialog's hardware settings: the programmer plug-in and its port, the I/O delay factor
// within the plug-in's range, and the three programming delays.
//
// The page lists the plug-ins of its directory and, for the chosen one, loads a plug-in instance of its
// own for a moment (never attached, separate from the device worker's) to list its ports, learn the I/O
// delay factor's range and, when its driver is missing, offer to install it through prompt. Nothing is
// kept loaded between choices.
class HardwarePage : public OptionsPage {
    Q_OBJECT

  public:
    HardwarePage(AppSettings& settings, Prompt& prompt, std::string pluginDirectory, QWidget* parent);

    // Stores the chosen plug-in's file name (the whole entry when it names none, so "None" stores that
    // text; no choice keeps the stored name) and port, then the power-up delay (5 to 999 ms), the program
    // pulse and the fixate pulse. delayIO is not stored here: it follows the slider as it is drawn.
    bool ApplyChanges() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* CreatePluginGroup();
    QWidget* CreateDelayFactorGroup();
    QWidget* CreateDelaysGroup();
    void FillPluginList();
    void RefreshPortList();
    void FillPortList(const ProgrammerPlugin& plugin);
    void ShowDelayRange(const ProgrammerPlugin& plugin);
    void UpdateDelayFactorLabel();
    void LoadDefaultValues();

    Prompt& prompt_;
    const std::string pluginDirectory_;
    QComboBox* plugin_ = nullptr;
    QComboBox* port_ = nullptr;
    QGroupBox* delayFactorGroup_ = nullptr;
    QSlider* delayFactor_ = nullptr;
    QLineEdit* delayPowerUp_ = nullptr;
    QLineEdit* pulsePGM_ = nullptr;
    QLineEdit* pulseFix_ = nullptr;
};

}  // namespace tessaly
