// One QApplication for every test of the executable: fonts, painting on
// images and PDF writers and the dialogs all need it.

#include <gtest/gtest.h>
#include <QApplication>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (QApplication::instance() == nullptr) m_application = new QApplication(m_argc, m_argv);
    }
    void TearDown() override {
        delete m_application;
        m_application = nullptr;
    }

private:
    int m_argc = 1;
    char m_name[16] = "report_tests";
    char* m_argv[2] = {m_name, nullptr};
    QApplication* m_application = nullptr;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
