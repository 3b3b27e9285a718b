// The version record carried by the program file: a read-only ELF note with the file and
// product version, the company and the product name.
#include "app/startup.h"
#include "apptest.h"
#include <QCoreApplication>
#include <QFile>
#include <QtTest>
#include <cstring>
#include <elf.h>

namespace {

struct Section {
    bool found = false;
    Elf64_Word type = 0;
    Elf64_Xword flags = 0;
    QByteArray bytes;
};

Section findSection(const QByteArray& file, const QByteArray& wanted) {
    Section s;
    if (file.size() < qsizetype(sizeof(Elf64_Ehdr)) || !file.startsWith(ELFMAG) ||
        file[EI_CLASS] != ELFCLASS64)
        return s;
    Elf64_Ehdr eh;
    std::memcpy(&eh, file.constData(), sizeof eh);
    auto header = [&](int i) {
        Elf64_Shdr sh;
        std::memcpy(&sh, file.constData() + eh.e_shoff + qsizetype(i) * eh.e_shentsize, sizeof sh);
        return sh;
    };
    const Elf64_Shdr names = header(eh.e_shstrndx);
    for (int i = 0; i < eh.e_shnum; ++i) {
        const Elf64_Shdr sh = header(i);
        const char* name = file.constData() + names.sh_offset + sh.sh_name;
        if (wanted == name) {
            s.found = true;
            s.type = sh.sh_type;
            s.flags = sh.sh_flags;
            s.bytes = file.mid(qsizetype(sh.sh_offset), qsizetype(sh.sh_size));
            break;
        }
    }
    return s;
}

} // namespace

class TestVersionRecord : public QObject {
    Q_OBJECT

private slots:
    void programFileCarriesTheRecord() {
        QFile exe(QStringLiteral(QUORVALE_EXECUTABLE));
        QVERIFY2(exe.open(QIODevice::ReadOnly), QUORVALE_EXECUTABLE);
        const Section note = findSection(exe.readAll(), ".note.quorvale.version");
        QVERIFY(note.found);
        QCOMPARE(note.type, Elf64_Word(SHT_NOTE));
        QVERIFY(note.flags & SHF_ALLOC);
        QVERIFY(!(note.flags & SHF_WRITE));

        QVERIFY(note.bytes.size() >= 12);
        Elf64_Nhdr nh;
        std::memcpy(&nh, note.bytes.constData(), sizeof nh);
        const QByteArray owner = note.bytes.mid(12, nh.n_namesz);
        QCOMPARE(owner, QByteArray("Quorvale", 9)); // with its NUL
        QCOMPARE(nh.n_type, Elf64_Word(1));
        const qsizetype descAt = 12 + ((nh.n_namesz + 3) & ~3u);
        const QByteArray desc = note.bytes.mid(descAt, nh.n_descsz);
        QCOMPARE(desc.size(), qsizetype(nh.n_descsz));
        QVERIFY(desc.endsWith('\0'));
        const QList<QByteArray> entries = desc.chopped(1).split('\0');
        QCOMPARE(entries,
                 (QList<QByteArray>{"FileVersion=8.1.0.0", "ProductVersion=8.1.0.0",
                                    "CompanyName=Brindlow Development Group", "ProductName=The Quorvale"}));
        QCOMPARE(QByteArray(QUORVALE_VERSION), QByteArray("8.1.0.0"));
    }

    void applicationCarriesTheRecord() {
        app::initialiseApplication();
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("8.1.0.0"));
        QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Brindlow Development Group"));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("The Quorvale"));
    }
};

QTEST_MAIN(TestVersionRecord)
#include "tst_versionrecord.moc"
