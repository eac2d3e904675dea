#include "MonkeyFiles.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <random>

#include "core/fileConvert.h"

namespace {
QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

QByteArray damaged(QByteArray bytes, std::mt19937_64& rng)
{
    for (int i = 0; i < 64 && !bytes.isEmpty(); ++i) bytes[int(rng() % uint64_t(bytes.size()))] = char(rng());
    return bytes;
}
}

MonkeyFiles::MonkeyFiles(const QString& workFolder, const QString& sample, uint64_t seed) : work_(workFolder)
{
    std::mt19937_64 rng(seed ^ 0x5eedf11e5ull);
    const QString pcap = work_ + "/sample.pcap";
    convertFile(QFile::encodeName(sample).toStdString(), QFile::encodeName(pcap).toStdString());
    const QByteArray dataset = readAll(sample), capture = readAll(pcap);
    auto cut = [&](const QByteArray& b) { return b.left(int(rng() % uint64_t(std::max<qsizetype>(b.size(), 1)))); };
    write(work_ + "/cut.nivora", cut(dataset));
    write(work_ + "/cut.pcap", cut(capture));
    write(work_ + "/damaged.nivora", damaged(dataset, rng));
    write(work_ + "/damaged.pcap", damaged(capture, rng));
    QByteArray junk(4096, '\0');
    for (char& c : junk) c = char(rng());
    write(work_ + "/junk.bin", junk);
    write(work_ + "/empty.nivora", {});
    QDir(work_).mkpath("folder.nivora");
    // A pipe nobody writes to: opening it must be refused, not wait.
    mkfifo(QFile::encodeName(work_ + "/pipe.nivora").constData(), 0600);
    mkfifo(QFile::encodeName(streamPipe()).constData(), 0600);
    made_ = {streamPipe(), sample, pcap, work_ + "/cut.nivora", work_ + "/cut.pcap", work_ + "/damaged.nivora",
             work_ + "/damaged.pcap", work_ + "/junk.bin", work_ + "/empty.nivora", work_ + "/folder.nivora",
             work_ + "/pipe.nivora", work_ + "/missing.nivora"};
}

QStringList MonkeyFiles::toOpen() const
{
    QStringList files = made_;
    files << QString();   // Cancel
    // What the run saved: datasets and pcaps it wrote itself.
    for (const QString& name : QDir(work_ + "/saved").entryList(QDir::Files, QDir::Name))
        files << work_ + "/saved/" + name;
    return files;
}

QStringList MonkeyFiles::toSave() const
{
    const QString saved = work_ + "/saved/";
    QDir().mkpath(saved);
    return {saved + "a.nivora", saved + "b.pcap", saved + "c", saved + "d.txt", saved + "a.nivora",
            work_ + "/no such folder/e.nivora", work_ + "/folder.nivora", saved, QString()};
}
