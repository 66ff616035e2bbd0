// An installed Vambrio on the desktop: the style types are known by name and
// by content, the .desktop file opens all of them with an installed program,
// and the program finds its installed manual.
#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QSet>
#include <QXmlStreamReader>
#include <QtTest>

#include "shell/helpabout/manual.h"
#include "temp_dir.h"

namespace {

const QString kPrefix = QStringLiteral(VAMBRIO_TEST_PREFIX);
const QString kData = kPrefix + "/" VAMBRIO_TEST_DATADIR;
const QStringList kExtensions = {"sty", "pcs", "sst", "pst", "prs", "bcs", "fps"};

QString Write(const vambrio::test::TempDir& dir, const QString& name, const QByteArray& bytes) {
  const QString path = QString::fromStdString(dir.File(name.toStdString()));
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

// A Standard MIDI File header and an empty track: what every style starts with.
const QByteArray kMidiStart = QByteArray("MThd\0\0\0\6\0\0\0\1\1\xe0MTrk\0\0\0\4\0\xff\x2f\0", 26);

// The value of `key` in the [Desktop Entry] group of a .desktop file.
QString DesktopValue(const QString& key) {
  QFile file(kData + "/applications/org.vambrio.Vambrio.desktop");
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.startsWith(key + "=")) return line.mid(key.size() + 1);
  }
  return {};
}

QSet<QString> DeclaredTypes() {
  QFile file(kData + "/mime/packages/org.vambrio.Vambrio.xml");
  QSet<QString> types;
  if (!file.open(QIODevice::ReadOnly)) return types;
  QXmlStreamReader xml(&file);
  while (xml.readNextStartElement() || !xml.atEnd()) {
    if (xml.isStartElement() && xml.name() == QLatin1String("mime-type"))
      types.insert(xml.attributes().value("type").toString());
  }
  return types;
}

}  // namespace

class InstalledDesktopTest : public QObject {
  Q_OBJECT

 private slots:
  void stylesAreKnownByExtensionAndContent() {
    vambrio::test::TempDir dir;
    QMimeDatabase db;
    for (const QString& ext : kExtensions) {
      const QMimeType type = db.mimeTypeForFile(Write(dir, "Demo." + ext, kMidiStart));
      QCOMPARE(type.name(), "audio/x-arranger-style-" + ext);
      QVERIFY(type.inherits("audio/midi"));
    }
  }

  void otherFilesKeepTheirTypes() {
    vambrio::test::TempDir dir;
    QMimeDatabase db;
    QCOMPARE(db.mimeTypeForFile(Write(dir, "song", kMidiStart)).name(), QStringLiteral("audio/midi"));
    QCOMPARE(db.mimeTypeForFile(Write(dir, "song.mid", kMidiStart)).name(), QStringLiteral("audio/midi"));
  }

  // LaTeX packages share the extension .sty; the "MThd" magic tells them
  // apart when both types stand in one database, as after a package install.
  // (A database of a prefix of its own shadows the system's *.sty pattern,
  // and a package that starts with a bare "%" comment is sniffed as another
  // text type, after which the first pattern decides.)
  void latexPackagesStayLatex() {
    if (qEnvironmentVariableIsEmpty("VAMBRIO_TEST_ONE_DATABASE")) QSKIP("needs the system's types and Vambrio's in one database");
    vambrio::test::TempDir dir;
    QMimeDatabase db;
    const QString latex = Write(dir, "mypackage.sty", "\\NeedsTeXFormat{LaTeX2e}\n\\ProvidesPackage{mypackage}\n");
    QCOMPARE(db.mimeTypeForFile(latex).name(), QStringLiteral("text/x-tex"));
    QCOMPARE(db.mimeTypeForFile(Write(dir, "Pop.sty", kMidiStart)).name(), QStringLiteral("audio/x-arranger-style-sty"));
  }

  void desktopFileOpensEveryDeclaredType() {
    const QSet<QString> declared = DeclaredTypes();
    QCOMPARE(declared.size(), kExtensions.size());
    QStringList listed = DesktopValue("MimeType").split(';', Qt::SkipEmptyParts);
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()), declared);
    QMimeDatabase db;
    for (const QString& name : declared) QVERIFY2(db.mimeTypeForName(name).isValid(), qPrintable(name));
  }

  void desktopFileNamesInstalledFiles() {
    const QString icon = DesktopValue("Icon");
    QVERIFY(QFile::exists(kData + "/icons/hicolor/scalable/apps/" + icon + ".svg"));
    const QStringList exec = DesktopValue("Exec").split(' ');
    QCOMPARE(exec.value(1), QStringLiteral("%f"));  // one file, as the program's command line takes it
#ifdef VAMBRIO_TEST_WINDOW_PROGRAM
    QVERIFY(QFile::exists(kPrefix + "/" VAMBRIO_TEST_BINDIR "/" + exec.value(0)));
#endif
  }

  void installedProgramFindsItsManual() {
    const std::string bin = (kPrefix + "/" VAMBRIO_TEST_BINDIR).toStdString();
    const std::string expected = (kPrefix + "/" VAMBRIO_TEST_DOCDIR "/Vambrio.pdf").toStdString();
    QVERIFY(QFile::exists(QString::fromStdString(expected)));
    QCOMPARE(vambrio::shell::ManualPath(bin), expected);
  }
};

QTEST_GUILESS_MAIN(InstalledDesktopTest)
#include "installed_desktop_test.moc"
