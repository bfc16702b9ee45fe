#include "app/ui/single_instance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <iostream>
#include <utility>

#include "app/hand_over.h"
#include "app/startup.h"

namespace qorvane {

namespace {

// A peer that has not sent a whole message by then is dropped.
constexpr int kPeerPatienceMs = 10000;
// How long a start waits for the running copy's answer to its message.
constexpr int kAnswerPatienceMs = 10000;
// A copy that holds the mutex but does not listen yet is still starting:
// tried again every tenth of a second, for five seconds at most.
constexpr int kConnectAttempts = 50;
constexpr int kConnectPauseMs = 100;

QString SocketName(const std::filesystem::path& socket) { return QFile::decodeName(socket.c_str()); }

HandOverResult SendOnce(const QString& socket, const QByteArray& message) {
    QLocalSocket peer;
    peer.connectToServer(socket);
    if (!peer.waitForConnected(1000)) return HandOverResult::NotListening;
    const QDeadlineTimer deadline(kAnswerPatienceMs);
    peer.write(message);
    while (peer.bytesToWrite() > 0) {
        if (!peer.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) return HandOverResult::NoAnswer;
    }
    const QByteArray taken(kHandOverTaken.data(), static_cast<qsizetype>(kHandOverTaken.size()));
    QByteArray answer;
    while (answer.size() < taken.size()) {
        if (!peer.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) return HandOverResult::NoAnswer;
        answer += peer.readAll();
    }
    return answer.startsWith(taken) ? HandOverResult::Taken : HandOverResult::NoAnswer;
}

}  // namespace

HandOverServer::HandOverServer(QObject* parent) : QObject(parent) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &HandOverServer::acceptPeers);
}

bool HandOverServer::listen(const std::filesystem::path& socket) {
    if (socket.empty()) return false;
    // Only the holder of the program's mutex listens, so whatever is there
    // was left by a copy that is gone.
    QLocalServer::removeServer(SocketName(socket));
    return server_.listen(SocketName(socket));
}

void HandOverServer::setReceiver(std::function<void(const std::vector<std::string>&)> receive) {
    receive_ = std::move(receive);
    for (const auto& files : std::exchange(waiting_, {})) receive_(files);
}

void HandOverServer::acceptPeers() {
    while (QLocalSocket* peer = server_.nextPendingConnection()) {
        auto reader = std::make_shared<HandOverReader>();
        const auto drop = [peer] {
            peer->abort();
            peer->deleteLater();
        };
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        QTimer::singleShot(kPeerPatienceMs, peer, drop);
        connect(peer, &QLocalSocket::readyRead, this, [this, peer, reader, drop] {
            if (reader->state() == HandOverReader::State::Complete) return;  // the answer is on its way
            switch (reader->feed(peer->readAll().toStdString())) {
            case HandOverReader::State::Incomplete:
                return;
            case HandOverReader::State::Refused:
                drop();
                return;
            case HandOverReader::State::Complete:
                peer->write(kHandOverTaken.data(), static_cast<qint64>(kHandOverTaken.size()));
                peer->disconnectFromServer();  // once the answer is written
                // Added once this is over, so that a message box does not
                // hold up the start that sent the files.
                QTimer::singleShot(0, this, [this, files = reader->files()] { deliver(files); });
                return;
            }
        });
    }
}

void HandOverServer::deliver(const std::vector<std::string>& files) {
    if (receive_) {
        receive_(files);
    } else {
        waiting_.push_back(files);
    }
}

SingleInstance TakeOrHandOver(NamedMutexes& mutexes, const std::filesystem::path& socket,
                              const std::vector<std::string>& arguments) {
    SingleInstance self;
    bool listen = true;
    if (!socket.empty() && mutexes.exists(kOwnMutexName)) {
        const std::string message = HandOverMessage(HandedOverFiles(arguments));
        const QByteArray bytes(message.data(), static_cast<qsizetype>(message.size()));
        const HandOverResult result = HandOverToRunningCopy(
            [&] { return SendOnce(SocketName(socket), bytes); }, [&] { return mutexes.exists(kOwnMutexName); },
            [] { QThread::msleep(kConnectPauseMs); }, kConnectAttempts);
        switch (result) {
        case HandOverResult::Taken:
            self.endWith = 0;
            return self;
        case HandOverResult::NoAnswer:
            std::cerr << "qorvane: the running copy did not answer; the files may still reach it\n";
            self.endWith = 1;
            return self;
        case HandOverResult::NotListening:
            listen = false;  // its socket stays its own
            break;
        case HandOverResult::OtherCopyEnded:
            break;
        }
    }
    self.mutex = mutexes.create(kOwnMutexName);
    if (listen && self.mutex) {
        auto server = std::make_unique<HandOverServer>();
        if (server->listen(socket)) self.server = std::move(server);
    }
    return self;
}

void BringToFront(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace qorvane
