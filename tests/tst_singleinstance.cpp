#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

// The single-instance guard across real processes: a second copy is kept
// out while the first runs, and let in after the first ended or was killed.
class SingleInstanceTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QString m_name = QStringLiteral("SingleInstanceProgram-test-%1").arg(QCoreApplication::applicationPid());

    // Starts a copy of this program that takes the guard and holds it.
    std::unique_ptr<QProcess> startHolder()
    {
        auto holder = std::make_unique<QProcess>();
        holder->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        holder->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), m_name});
        if (!holder->waitForReadyRead(10000))
            return nullptr;
        if (holder->readLine().trimmed() != "held")
            return nullptr;
        return holder;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void secondCopyIsKeptOut_data()
    {
        QTest::addColumn<bool>("kill");
        QTest::newRow("first copy exits") << false;
        QTest::newRow("first copy killed") << true;
    }
    void secondCopyIsKeptOut()
    {
        QFETCH(bool, kill);
        auto holder = startHolder();
        QVERIFY(holder);
        {
            SingleInstance second(m_name);
            QVERIFY(!second.acquire());
        }
        if (kill) {
            holder->kill();
        } else {
            holder->write("quit\n");
            holder->closeWriteChannel();
        }
        QVERIFY(holder->waitForFinished(10000));
        SingleInstance next(m_name);
        QVERIFY(next.acquire());
        // The new holder keeps the next one out in turn.
        SingleInstance another(m_name);
        QVERIFY(!another.acquire());
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--hold") == 0) {
        SingleInstance guard(QString::fromLocal8Bit(argv[2]));
        if (!guard.acquire())
            return 1;
        fputs("held\n", stdout);
        fflush(stdout);
        char line[16];
        while (fgets(line, sizeof line, stdin)) {
            if (qstrncmp(line, "quit", 4) == 0)
                break;
        }
        return 0;
    }
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
