// The viewer tests run real OpenGL windows: the program starts its own X server (Xvfb) and
// makes the QApplication on it before the first test; listing the tests needs neither.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ViewerEnvironment : public ::testing::Environment {
public:
    ViewerEnvironment(int argc, char **argv) : argc_(argc), argv_(argv) {}

    void SetUp() override
    {
        std::string error;
        if (!StartXvfb(error))
            FAIL() << error;
        // The single-instance lock and socket of a run stay in a folder of the test's own.
        setenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit().constData(), 1);
        QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        app_ = new QApplication(argc_, argv_);
        std::setlocale(LC_NUMERIC, "C");
    }

    void TearDown() override
    {
        delete app_;
        app_ = nullptr;
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status;
            waitpid(pid_, &status, 0);
        }
    }

private:
    // Xvfb chooses a free display itself and writes its number to the pipe.
    bool StartXvfb(std::string &error)
    {
        int fds[2];
        if (pipe(fds) != 0) {
            error = "pipe failed";
            return false;
        }
        pid_ = fork();
        if (pid_ < 0) {
            error = "fork failed";
            return false;
        }
        if (pid_ == 0) {
            close(fds[0]);
            const int null_fd = open("/dev/null", O_WRONLY);
            if (null_fd >= 0) {
                dup2(null_fd, 1);
                dup2(null_fd, 2);
            }
            const std::string fd_text = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd_text.c_str(), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        struct pollfd p = {fds[0], POLLIN, 0};
        while (number.empty() || number.back() != '\n') {
            if (poll(&p, 1, 20000) <= 0)
                break;
            char c;
            if (read(fds[0], &c, 1) != 1)
                break;
            number += c;
        }
        close(fds[0]);
        if (number.empty() || number.back() != '\n') {
            error = "Xvfb did not start (is the xvfb package installed?)";
            return false;
        }
        number.pop_back();
        setenv("DISPLAY", (":" + number).c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        return true;
    }

    int argc_;
    char **argv_;
    pid_t pid_ = -1;
    QTemporaryDir runtime_;
    QApplication *app_ = nullptr;
};

}  // namespace

// The system's D-Bus library keeps a buffer that Qt's platform connection never frees; the
// leak checker of sanitizer builds is told so. Without the checker nothing calls this.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new ViewerEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
