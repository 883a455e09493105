#pragma once
#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into an orderly quit of the event loop,
// so that the code after exec() still runs. A signal handler may do almost
// nothing, so it only writes a byte into a pipe that the loop watches.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    bool installed() const { return m_notifier != nullptr; }

signals:
    void quitRequested(int signalNumber);

private:
    void readPipe();
    QSocketNotifier* m_notifier = nullptr;
};
