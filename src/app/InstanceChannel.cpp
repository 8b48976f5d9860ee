#include "app/InstanceChannel.h"

#include "platform/posix/InstanceLock.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace velloq {
namespace {

constexpr int answerWaitMs = 3000;
const QByteArray captureRequest = "capture\n";
const QByteArray recordRequest = "record\n";
const QByteArray acknowledgement = "ok\n";

} // namespace

std::filesystem::path InstanceChannel::defaultPath() {
    return platform::InstanceLock::defaultPath().parent_path() / "velloq.sock";
}

InstanceChannel::InstanceChannel(std::filesystem::path path) : path_(std::move(path)) {}

InstanceChannel::~InstanceChannel() {
    if (server_) {
        server_->close();
    }
}

bool InstanceChannel::listen(std::function<void(InstanceRequest)> onRequest) {
    onRequest_ = std::move(onRequest);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = QString::fromStdString(path_.string());
    // Only the instance holding the lock listens, so a socket left behind
    // by a crashed one is stale.
    QLocalServer::removeServer(name);
    if (!server_->listen(name)) {
        server_.reset();
        return false;
    }
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) {
                    return;
                }
                const QByteArray line = socket->readLine();
                if (line == captureRequest || line == recordRequest) {
                    socket->write(acknowledgement);
                    socket->flush();
                    if (onRequest_) {
                        onRequest_(line == recordRequest ? InstanceRequest::record
                                                         : InstanceRequest::capture);
                    }
                }
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

bool InstanceChannel::request(InstanceRequest what, const std::filesystem::path& path) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(path.string()));
    if (!socket.waitForConnected(answerWaitMs)) {
        return false;
    }
    socket.write(what == InstanceRequest::record ? recordRequest : captureRequest);
    if (!socket.waitForBytesWritten(answerWaitMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(answerWaitMs)) {
            return false;
        }
    }
    return socket.readLine() == acknowledgement;
}

} // namespace velloq
