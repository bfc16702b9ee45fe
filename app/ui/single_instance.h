#pragma once
// One copy of the window per user, over a local socket in the runtime
// folder (the message and the rules: app/hand_over.h). The program's own
// mutex tells whether a copy runs; the socket only carries the files.

#include <QLocalServer>
#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/named_mutex.h"

class QWidget;

namespace qorvane {

// The running copy's end: each whole message's files go to the receiver,
// after the sender has had its answer. A peer that sends anything else, too
// much, or nothing for a few seconds is dropped; it holds up nobody.
class HandOverServer : public QObject {
    Q_OBJECT
public:
    explicit HandOverServer(QObject* parent = nullptr);

    // Listens at `socket`, removing first what a crashed copy left there.
    bool listen(const std::filesystem::path& socket);
    // Hand-overs that came before it was set are given to it now.
    void setReceiver(std::function<void(const std::vector<std::string>&)> receive);

private:
    void acceptPeers();
    void deliver(const std::vector<std::string>& files);

    QLocalServer server_;
    std::function<void(const std::vector<std::string>&)> receive_;
    std::vector<std::vector<std::string>> waiting_;
};

// What start-up step "create the program's mutex" became.
struct SingleInstance {
    std::optional<int> endWith;                // set: this start is over, with that status
    std::unique_ptr<NamedMutexHandle> mutex;   // held by a copy that goes on
    std::unique_ptr<HandOverServer> server;    // none when it cannot listen
};

// While another copy holds the mutex, this start's files go to it and this
// start ends (status 0; 1 when the copy took the message but never
// confirmed). A copy that cannot be reached leaves this one to run on its
// own as before; otherwise this copy takes the mutex and listens.
SingleInstance TakeOrHandOver(NamedMutexes& mutexes, const std::filesystem::path& socket,
                              const std::vector<std::string>& arguments);

// Un-minimised, raised and activated, as for a drop.
void BringToFront(QWidget& window);

}  // namespace qorvane
