#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

struct DemoRun {
    bool finished = false;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    int exitCode = -1;
    QString output;
};

DemoRun RunDemo(const QString& variable, const QString& value) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LANGUAGE", "en");
    environment.insert("LANG", "en_US.UTF-8");
    environment.remove("LC_ALL");
    environment.remove("LC_MESSAGES");
    environment.insert(variable, value);
    QProcess demo;
    demo.setProcessEnvironment(environment);
    demo.start(TAVOREN_DEMO_PATH, {});
    DemoRun run;
    run.finished = demo.waitForFinished(60000);
    run.exitStatus = demo.exitStatus();
    run.exitCode = demo.exitCode();
    run.output = QString::fromUtf8(demo.readAllStandardOutput());
    return run;
}

TEST(DemoProcessTest, EndsWithStatusZeroOnceItsWindowHasBeenShown) {
    const DemoRun run = RunDemo("TAVOREN_DEMO_EXIT_WHEN_SHOWN", "1");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.output.isEmpty()) << qPrintable(run.output);
}

TEST(DemoProcessTest, ScreenshotModeWritesEveryPageTheAboutBoxAndTheNoDriveWindow) {
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());

    const DemoRun run = RunDemo("TAVOREN_DEMO_SCREENSHOTS", directory.path());

    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    QStringList expected;
    for (const char* name : {"setting", "status", "utility", "led", "about", "no-drive"}) {
        const QString path =
            QDir(directory.path()).absoluteFilePath(QString("en-%1.png").arg(name));
        expected << path;
        EXPECT_FALSE(QImage(path).isNull()) << qPrintable(path);
    }
    QStringList printed = run.output.split('\n', Qt::SkipEmptyParts);
    printed.sort();
    expected.sort();
    EXPECT_EQ(printed, expected);
}

}  // namespace
