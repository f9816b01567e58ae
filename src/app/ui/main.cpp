// parvolt: the desktop program.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "app/ui/CMainFrame.h"
#include "app/ui/HandOverFile.h"
#include "res/UiTexts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(parvolt);
    QApplication::setOrganizationName(pv::ui_text::kSettingsOrganisation);
    QApplication::setApplicationName(pv::ui_text::kSettingsApplication);
    QApplication::setApplicationVersion("1.35");
    QApplication::setWindowIcon(QIcon(":/parvolt/parvolt.png"));

    QCommandLineParser parser;
    parser.setApplicationDescription(pv::ui_text::kAboutProduct);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("project", "Project file (*.nf3) to open.");
    parser.process(app);
    const QStringList args = parser.positionalArguments();

    pv::ui::CMainFrame frame;
    frame.show();
    const QString path = args.isEmpty() ? QString() : args.first();
    QTimer::singleShot(0, &frame, [&frame, path] { frame.startUp(path, pv::ui::HandOverPath()); });
    return app.exec();
}
