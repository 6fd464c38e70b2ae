#pragma once
// What every benchmark needs around its measures: a temporary folder of its
// own (under the folder named by its first argument, else the system's) and
// the peak memory of its process.

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace Banco {

// Removed with everything in it when the benchmark ends; a folder that
// cannot be made ends the benchmark with a message.
class Carpeta : public QTemporaryDir {
public:
    Carpeta(int argc, char **argv)
        : QTemporaryDir(argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("orv-bench-XXXXXX"))
                                 : QDir::tempPath() + QStringLiteral("/orv-bench-XXXXXX"))
    {
        if (!isValid()) {
            std::fprintf(stderr, "no se puede crear la carpeta temporal\n");
            std::exit(1);
        }
    }
};

// The largest resident memory of this process so far, in MB (ru_maxrss).
inline double PicoMemoriaMb()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss / 1024.0;
}

}  // namespace Banco
