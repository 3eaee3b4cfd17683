// Takes the README's pictures of the desktop. Run under a virtual X display (scripts/screenshots.sh), it
// starts Tessaly as scripts/run.sh does, on the sample template with the chip simulator Ready, fills in
// some values and grabs the screen around the main window, an open editor with its tip, the hex view, the
// two pages of the Options dialog, and, once the chip is programmed and two values are changed, the list
// compared with the chip and the difference dialog that Verify would show.
//
//   tessaly-screenshots OUTPUT_DIRECTORY

#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/CVardelApp.h"
#include "device/ExecutableDirectory.h"
#include "engine/ItemDifference.h"
#include "ui/CVardelView.h"
#include "ui/CommandId.h"
#include "ui/DifferenceDialog.h"
#include "ui/OptionsDialog.h"
#include "ui/QtPrompt.h"

namespace {

using namespace std::chrono_literals;

const std::vector<std::pair<const char*, const char*>> kValues = {
    {"Serial number", "20240611"},   {"Manufacture year (since 2000)", "24"},
    {"Manufacture week", "23"},      {"Product variant", "Pro"},
    {"Board name", "Bench board"},   {"DHCP", "On"},
    {"Link speed", "100 Mbit/s"},    {"Host name", "bench-7"},
    {"Core voltage (mV)", "1200"},   {"Fan mode", "Quiet"},
    {"Temperature limit (C)", "85"}, {"Boot delay (ms)", "1500"},
    {"ADC offset", "1234"},          {"ADC gain (x1000)", "1000"},
};

// Lets the program run for a while. A loop of its own: quitting the application's loop would close the
// windows.
void Wait(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// The screen within rect.
bool Save(const QRect& rect, const QString& path) {
    const QRect area = rect.intersected(QGuiApplication::primaryScreen()->geometry());
    const QPixmap picture =
        QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const bool saved = picture.save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// The frame and every other window on show (the editor's tip, a dialog).
QRect WindowsOnShow() {
    QRect all;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            all = all.united(widget->frameGeometry());
        }
    }
    return all;
}

void SetValue(tessaly::Unit& unit, const char* name, const char* value) {
    for (std::uint32_t item = 0; item < unit.itemCount; ++item) {
        if (std::string(unit.GetItem(item)->name) == name) {
            unit.SetValueText(item, value);
        }
    }
}

void WaitUntilIdle(tessaly::CMainFrame& frame) {
    for (int tries = 0; tries < 100 && (frame.Worker().IsBusy() || frame.Progress() != nullptr); ++tries) {
        Wait(100ms);
    }
}

// The chip's bytes of the unit, as the simulator keeps them.
std::vector<std::uint8_t> ChipBytes(const tessaly::Unit& unit) {
    std::ifstream file("chips/24C02.bin", std::ios::binary);
    std::vector<std::uint8_t> chip((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    chip.resize(std::max<std::size_t>(chip.size(), unit.end + 1), 0xFF);
    return {chip.begin() + unit.start, chip.begin() + unit.end + 1};
}

// Programs the values, changes two of them, and shows the list compared with the chip and the difference
// dialog of a Verify.
bool TakeDifferencePictures(tessaly::CMainFrame& frame, tessaly::Unit& unit, const QDir& output) {
    frame.DeviceCommand(tessaly::operation::kProgramCommand);
    WaitUntilIdle(frame);
    SetValue(unit, "Serial number", "20240612");
    SetValue(unit, "Fan mode", "Full");
    frame.ActiveView()->RefillList();
    frame.CompareWithChip();
    WaitUntilIdle(frame);
    Wait(500ms);
    bool saved = Save(frame.frameGeometry(), output.filePath("compare-with-chip.png"));

    unit.UpdateProgramMask();
    unit.PrepareDerivedFields();
    const std::vector<std::uint8_t> chip = ChipBytes(unit);
    std::size_t at = 0;
    while (at + 1 < chip.size() && ((chip[at] ^ unit.dataImage[at]) & unit.programMask[at]) == 0) {
        ++at;
    }
    char text[96];
    std::snprintf(text, sizeof text,
                  "Wrong value (0x%X <> 0x%X) at location 0x%zX\nOperation will be skipped.", chip[at],
                  unit.dataImage[at], unit.start + at);
    tessaly::DifferenceDialog dialog(text, tessaly::ListMaskedDifferences(unit, chip.data(), unit.dataImage),
                                     &frame);
    dialog.show();
    dialog.move(frame.frameGeometry().center() - dialog.rect().center());
    Wait(500ms);
    saved = Save(dialog.frameGeometry(), output.filePath("difference-dialog.png")) && saved;
    dialog.close();
    return saved;
}

int RowNamed(const tessaly::ItemList& list, const char* name) {
    for (int row = 0; row < list.RowCount(); ++row) {
        if (list.topLevelItem(row)->text(tessaly::ItemList::kNameColumn) == QLatin1String(name)) {
            return row;
        }
    }
    return -1;
}

bool TakePictures(tessaly::CVardelApp& application, const QDir& output) {
    tessaly::CMainFrame& frame = *application.MainFrame();
    frame.move(24, 24);
    frame.resize(900, 620);
    for (int tries = 0; tries < 100 && frame.State() != tessaly::DeviceState::Ready; ++tries) {
        Wait(100ms);
    }
    tessaly::Unit& unit = *application.Document()->Units()->GetAt(0);
    for (const auto& [name, value] : kValues) {
        SetValue(unit, name, value);
    }
    tessaly::CVardelView& view = *frame.ActiveView();
    view.RefillList();
    tessaly::ItemList& list = view.List();
    list.SelectRow(RowNamed(list, "Serial number"));
    Wait(500ms);
    bool saved = Save(frame.frameGeometry(), output.filePath("main-window.png"));

    list.StartEdit(RowNamed(list, "Board name"), Qt::Key_Return);
    Wait(500ms);
    saved = Save(WindowsOnShow(), output.filePath("item-editor.png")) && saved;
    list.CloseEditor();

    frame.resize(1220, 620);
    frame.Action(tessaly::command::kHexView)->trigger();
    list.SelectRow(RowNamed(list, "Board name"));
    Wait(500ms);
    saved = Save(frame.frameGeometry(), output.filePath("hex-view.png")) && saved;
    frame.Action(tessaly::command::kHexView)->trigger();
    frame.resize(900, 620);

    tessaly::QtPrompt prompt(&frame);
    tessaly::OptionsDialog options(application.Settings(), prompt, tessaly::ExecutableDirectory(), &frame);
    options.show();
    options.move(frame.frameGeometry().center() - options.rect().center());
    Wait(500ms);
    saved = Save(options.frameGeometry(), output.filePath("options-general.png")) && saved;
    options.findChild<QTabWidget*>()->setCurrentIndex(1);
    Wait(500ms);
    saved = Save(options.frameGeometry(), output.filePath("options-hardware.png")) && saved;
    options.close();
    // No notice box may stop the run.
    tessaly::AppSettings quiet = application.Settings();
    quiet.options &= ~tessaly::kOptionConfirmProgram;
    frame.ApplyOptions(quiet);
    return TakeDifferencePictures(frame, unit, output) && saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessaly-screenshots OUTPUT_DIRECTORY\n");
        return 2;
    }
    const QDir output(QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    QTemporaryDir work;
    const std::string directory = work.path().toStdString();
    QDir(work.path()).mkpath(QStringLiteral("chips"));
    std::ofstream(directory + "/tessaly-screenshots.ini") << "[Config]\nPlugin=tessaly-sim.so\nPort=24C02\n";
    for (const char* name : {"board-24c02.dev", "board-24c02.cfg"}) {
        QFile::copy(QStringLiteral(TESSALY_SOURCE_DIR "/examples/") + QLatin1String(name),
                    work.filePath(QLatin1String(name)));
    }
    QDir::setCurrent(work.path());
    setenv("TESSALY_SIM_DIR", (directory + "/chips").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (directory + "/config").c_str(), 1);
    setenv("XDG_STATE_HOME", (directory + "/state").c_str(), 1);

    int appArgc = 2;
    std::string program = "tessaly";
    std::string file = directory + "/board-24c02.dev";
    char* appArgv[] = {program.data(), file.data(), nullptr};
    tessaly::CVardelApp application(appArgc, appArgv);
    const bool taken = application.InitInstance() && TakePictures(application, output);
    application.ExitInstance();
    return taken ? 0 : 1;
}
