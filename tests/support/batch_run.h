#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One run of a batch command with what it printed on either stream.
struct CommandRun {
    int exitCode = -1;
    QString out;
    QString err;
};

using BatchCommandFunction = int (*)(const QStringList &, QTextStream &, QTextStream &);

inline CommandRun runBatch(BatchCommandFunction command, const QStringList &arguments)
{
    CommandRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.exitCode = command(arguments, out, err);
    return run;
}
