// GoogleTest main for tests that need the toolkit: one QApplication, offscreen.
#include <QApplication>
#include <QFont>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    static char name[] = "UdpRavik";
    static char* arguments[] = {name, nullptr};
    static int count = 1;
    QApplication app(count, arguments);
    QApplication::setStyle(QStringLiteral("Fusion")); // as the program does
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    return RUN_ALL_TESTS();
}
