// Runs a fuzz target once on every file of the folders or files named on the
// command line, so the regression corpus is an ordinary test of every build,
// with or without a compiler that has libFuzzer.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Optional in a target, as with libFuzzer.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {
int replay(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int failures = 0;
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(arg).isDir()) {
            failures += replay(arg);
            ++inputs;
            continue;
        }
        QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            failures += replay(it.next());
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    // An empty corpus would pass without testing anything.
    return failures == 0 && inputs > 0 ? 0 : 1;
}
