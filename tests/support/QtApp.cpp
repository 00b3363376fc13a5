#include "support/QtApp.h"

#include <QApplication>
#include <QTemporaryDir>
#include <memory>

namespace velkor::test {

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_profile = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_profile->path().toLocal8Bit());
        // Downloads are kept under the data folder: the throw-away profile's, not the user's.
        qputenv("XDG_DATA_HOME", (m_profile->path() + "/share").toLocal8Bit());
        static int argc = 1;
        static char name[] = "velkor-test";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
        QCoreApplication::setOrganizationName("Velkor");
        QCoreApplication::setApplicationName("Velkor");
    }
    void TearDown() override {
        m_app.reset();
        m_profile.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_profile;
    std::unique_ptr<QApplication> m_app;
};

}  // namespace

const ::testing::Environment* installQtApplication() {
    return ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
}

}  // namespace velkor::test
