// The program started as a user starts it, twice and more, on one store.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <signal.h>
#include <sys/stat.h>

#include "model/PylonConfig.h"
#include "model/Version.h"
#include "support/TempDir.h"

namespace {

class Instances : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(Q(dir_.Path())).mkpath(QStringLiteral("config"));
        QDir(Q(dir_.Path())).mkpath(QStringLiteral("run"));
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("HOME"), Q(dir_.Path()));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), Q(dir_.File("config")));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), Q(dir_.File("run")));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("lumarq.file.info=true"));
        ::chmod(dir_.File("run").c_str(), 0700);
    }
    void TearDown() override
    {
        for (auto& p : running_) {
            p->kill();
            p->waitForFinished(3000);
        }
    }

    static QString Q(const std::string& s) { return QString::fromStdString(s); }

    QProcess* Start(const QStringList& arguments)
    {
        running_.push_back(std::make_unique<QProcess>());
        QProcess* p = running_.back().get();
        p->setProcessEnvironment(env_);
        p->setProcessChannelMode(QProcess::SeparateChannels);
        p->start(QStringLiteral(LMQ_PROGRAM), arguments);
        EXPECT_TRUE(p->waitForStarted(5000));
        return p;
    }

    // Waits until the first start listens (its socket is in the run-time folder).
    bool Listening()
    {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (!QDir(Q(dir_.File("run"))).entryList({QStringLiteral("*.socket")}, QDir::System).isEmpty()) return true;
            QThread::msleep(20);
        }
        return false;
    }

    // Waits for `text` in what the process wrote to standard error.
    static bool Logged(QProcess* p, QByteArray& seen, const QByteArray& text)
    {
        const QDeadlineTimer deadline(10000);
        while (!seen.contains(text) && !deadline.hasExpired()) {
            p->waitForReadyRead(100);
            seen += p->readAllStandardError();
        }
        return seen.contains(text);
    }

    // A later start that must hand over and end with 0.
    void HandOver(const QStringList& arguments)
    {
        QProcess* second = Start(arguments);
        ASSERT_TRUE(second->waitForFinished(10000));
        EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    }

    std::string SavedFile(const std::string& name)
    {
        PylonConfig m;
        m.Prices[0].Name = "Handed";
        FileHeader header;
        EXPECT_EQ(m.SaveToFile(dir_.File(name), header), 0);
        return dir_.File(name);
    }

    TempDir dir_;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> running_;
};

TEST_F(Instances, ALaterStartHandsItsFileToTheFirstAndEnds)
{
    const std::string file = SavedFile("handed.lmqpyl");
    QProcess* first = Start({});
    ASSERT_TRUE(Listening());
    QByteArray seen;

    // A relative name is taken from the later start's own folder.
    const QString folder = QFileInfo(Q(file)).path();
    running_.push_back(std::make_unique<QProcess>());
    QProcess* second = running_.back().get();
    second->setProcessEnvironment(env_);
    second->setWorkingDirectory(folder);
    second->start(QStringLiteral(LMQ_PROGRAM), {QStringLiteral("handed.lmqpyl")});
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(Logged(first, seen, QByteArray("open ") + file.c_str() + ": 0 (OK)")) << seen.toStdString();

    HandOver({});  // no file: only the window comes to the front
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(seen.count("open "), 1);
}

TEST_F(Instances, TheLockOfAKilledFirstIsTakenOver)
{
    const std::string file = SavedFile("after.lmqpyl");
    QProcess* killed = Start({});
    ASSERT_TRUE(Listening());
    ::kill(pid_t(killed->processId()), SIGKILL);
    ASSERT_TRUE(killed->waitForFinished(5000));

    QProcess* next = Start({});
    QThread::msleep(300);
    ASSERT_EQ(next->state(), QProcess::Running) << next->readAllStandardError().toStdString();
    HandOver({Q(file)});
    QByteArray seen;
    EXPECT_TRUE(Logged(next, seen, QByteArray("open ") + file.c_str() + ": 0 (OK)")) << seen.toStdString();
}

TEST_F(Instances, HelpAndVersionNeedNoDisplayNorLock)
{
    env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env_.insert(QStringLiteral("DISPLAY"), QStringLiteral(":nothing"));
    QProcess* version = Start({QStringLiteral("--version")});
    ASSERT_TRUE(version->waitForFinished(5000));
    EXPECT_EQ(version->exitCode(), 0);
    EXPECT_EQ(version->readAllStandardOutput().toStdString(),
              "LumarqPylon " + ProgramVersionText() + " (file version " + ProgramFileVersion() + ")\n");
    QProcess* help = Start({QStringLiteral("--help")});
    ASSERT_TRUE(help->waitForFinished(5000));
    EXPECT_EQ(help->exitCode(), 0);
    EXPECT_TRUE(help->readAllStandardOutput().contains("[FILE]"));
    EXPECT_TRUE(QDir(Q(dir_.File("run"))).isEmpty());
}

}  // namespace
