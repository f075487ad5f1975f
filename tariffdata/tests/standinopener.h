#pragma once
// A stand-in for the desktop's xdg-open, first on PATH while it lives: a shell script whose
// body the test gives ("exit 3" for a desktop without a viewer, "exec sleep 30" for a viewer
// run in the foreground that the user never closes).

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

class StandInOpener {
  public:
    explicit StandInOpener(const char* body);
    ~StandInOpener();
    StandInOpener(const StandInOpener&) = delete;
    StandInOpener& operator=(const StandInOpener&) = delete;

    // Replaces what the opener does.
    void SetBody(const char* body);
    // What the opener was last handed; empty while it has not run.
    QString Handed() const;

  private:
    QString HandedFile() const;

    QTemporaryDir bin_;
    QByteArray path_;
};
