#include <QApplication>

#include "AppIcon.h"
#include "MainWindow.h"
#include "QtSettingsStore.h"
#include "QtUi.h"
#include "UserLocale.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Marrowby Software");
    QCoreApplication::setApplicationName("HD DVD Tessary");
    QApplication::setWindowIcon(tessary::gui::applicationIcon());
    // Desktop shells match the window to tessary.desktop, its launcher and icon.
    QGuiApplication::setDesktopFileName("tessary");

    tessary::gui::QtUi ui;
    tessary::SystemClock clock;
    tessary::TfMain main(ui, clock);
    tessary::gui::QtSettingsStore settings;
    main.setSettingsStore(&settings);
    main.locale = tessary::gui::userLocale();

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    tessary::gui::MainWindow window(main, arguments);
    ui.setWindow(&window);
    window.show();
    return app.exec();
}
