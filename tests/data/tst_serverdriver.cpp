#include "common/AppError.h"
#include "data/ywzxDM.h"

#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

// A terminal whose book is on a server, without Qt's PostgreSQL driver: the
// reader says so in Chinese and names the package. The driver is hidden by
// pointing Qt's plugin search at an empty folder before any driver is looked
// for, so this program holds this one test.
class TestServerDriver : public QObject {
    Q_OBJECT
private slots:
    void missingDriverIsNamed();
};

void TestServerDriver::missingDriverIsNamed()
{
    QTemporaryDir plugins;
    QCoreApplication::setLibraryPaths({plugins.path()});
    QVERIFY(!QSqlDatabase::isDriverAvailable("QPSQL"));
    QTemporaryDir data;
    QFile conf(data.filePath("ebook.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("[server]\nhost = localhost\nport = 5432\ndatabase = ebook\nuser = reader\n");
    conf.close();
    TywzxDMF dm;
    dm.ydconn.setDatabaseFile(conf.fileName());
    QString message;
    try {
        dm.ydconn.open();
    } catch (const AppError &error) {
        message = error.message();
    }
    QCOMPARE(message, QString("未安装 PostgreSQL 数据库驱动（QPSQL），无法打开服务器上的书。请安装 libqt6sql6-psql。"));
}

QTEST_GUILESS_MAIN(TestServerDriver)
#include "tst_serverdriver.moc"
