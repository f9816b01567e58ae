// parvolt: the desktop program.

#include <QApplication>
#include <clocale>
#include <QCommandLineParser>
#include <QTimer>
#include <memory>
#include <string>

#include "app/ui/CMainFrame.h"
#include "app/ui/HandOverFile.h"
#include "project/DataPaths.h"
#include "project/ModelTable.h"
#include "res/UiTexts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"
#include "sim/VirtualCopyModule.h"

namespace {
// --help and --version answer on a terminal without opening the display.
bool asksForTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help" || a == "--help-all" || a == "-v" || a == "--version")
            return true;
    }
    return false;
}
}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> textOnly;
    if (asksForTextOnly(argc, argv)) textOnly = std::make_unique<QCoreApplication>(argc, argv);
    std::unique_ptr<QApplication> gui;
    if (!textOnly) gui = std::make_unique<QApplication>(argc, argv);
    QCoreApplication& app = textOnly ? *textOnly : *gui;
    // Qt adopts the user's locale for the C library; parameter values are always written with a
    // '.' (the drive's and the project file's convention), so numbers stay in the C locale.
    std::setlocale(LC_NUMERIC, "C");
    Q_INIT_RESOURCE(parvolt);
    QApplication::setOrganizationName(pv::ui_text::kSettingsOrganisation);
    QApplication::setApplicationName(pv::ui_text::kSettingsApplication);
    QApplication::setApplicationVersion("1.35");

    QCommandLineParser parser;
    parser.setApplicationDescription(pv::ui_text::kAboutProduct);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("project", "Project file (*.nf3) to open.");
    QCommandLineOption simModel("sim-model", "Model of the virtual drive behind the port SIM.",
                                "name", "N350-2P5-H");
    QCommandLineOption simStations("sim-stations", "Stations of the virtual drive (1..32).",
                                   "count", "1");
    QCommandLineOption simBaud("sim-baud",
                               "Let the virtual drive answer as fast as a real line at this "
                               "baud rate (0: at once).",
                               "baud", "0");
    QCommandLineOption noSim("no-sim", "Do not offer the virtual drive.");
    parser.addOptions({simModel, simStations, simBaud, noSim});
    parser.process(app);
    const QStringList args = parser.positionalArguments();

    // The built-in virtual drive: choosing the port "SIM" in the settings dialog reaches it, so
    // the program can be tried without a drive at hand.
    if (!parser.isSet(noSim)) {
        const auto* model = pv::FindModelByName(parser.value(simModel).toStdString());
        const std::uint32_t code = model ? model->code : pv::ModelsByCode().front().code;
        auto bus = std::make_shared<pv::sim::VirtualBus>(pv::DataDir());
        const int count = std::clamp(parser.value(simStations).toInt(), 1, pv::sim::kMaxStation);
        for (int s = 1; s <= count; ++s) bus->addStation(s, code);
        if (const int baud = parser.value(simBaud).toInt(); baud > 0)
            bus->setWireTime(baud, std::chrono::milliseconds(2));
        pv::serial::setVirtualPeer(bus);
        // And a virtual copy module on its own port, holding its sets while the program runs.
        auto module = std::make_shared<pv::sim::VirtualCopyModule>();
        if (const int baud = parser.value(simBaud).toInt(); baud > 0)
            module->setWireTime(9600, std::chrono::milliseconds(1));
        pv::serial::setVirtualPeer(pv::ui_text::kPortSimCopy, module);
    }

    QApplication::setWindowIcon(QIcon(":/parvolt/parvolt.png"));
    pv::ui::CMainFrame frame;
    frame.show();
    const QString path = args.isEmpty() ? QString() : args.first();
    QTimer::singleShot(0, &frame, [&frame, path] { frame.startUp(path, pv::ui::HandOverPath()); });
    return app.exec();
}
