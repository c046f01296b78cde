// The yardstick: a plain Qt window of 60 image labels laid out as the game's cards. A click
// swaps the label's pixmap (back <-> face) and writes the game's click line for that place
// to the peer, straight from the handler.
//   bench_plain_board PORT X Y     (connects to 127.0.0.1:PORT; the window sits at X, Y)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kCard = 105, kStep = 111, kMargin = 8, kCols = 10, kRows = 6;

int peer = -1;

QPixmap face(int n) {
    QImage img(kCard, kCard, QImage::Format_RGB32);
    img.fill(QColor::fromHsv(n * 6 % 360, 90, 240));
    QPainter p(&img);
    p.setPen(Qt::black);
    p.drawText(img.rect(), Qt::AlignCenter, QString::number(n));
    return QPixmap::fromImage(img);
}

class Card : public QLabel {
public:
    Card(int pos, const QPixmap& back, const QPixmap& face, QWidget* parent)
        : QLabel(parent), pos_(pos), back_(back), face_(face) {
        setPixmap(back_);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        up_ = !up_;
        setPixmap(up_ ? face_ : back_);
        const std::string line = {static_cast<char>(pos_ + 32), up_ ? 'o' : 'b', '\r', '\n'};
        if (::send(peer, line.data(), line.size(), MSG_NOSIGNAL) < 0) std::exit(1);
    }

private:
    int pos_;
    bool up_ = false;
    QPixmap back_, face_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_plain_board PORT X Y\n");
        return 2;
    }
    QApplication app(argc, argv);
    peer = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(std::atoi(argv[1])));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int one = 1;
    setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(peer, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        std::perror("bench_plain_board: connect");
        return 1;
    }
    QWidget w;
    w.setWindowTitle("plain board");
    QImage backImage(kCard, kCard, QImage::Format_RGB32);
    backImage.fill(QColor(0x20, 0x40, 0x90));
    const QPixmap back = QPixmap::fromImage(backImage);
    std::vector<Card*> cards;
    for (int p = 0; p < kCols * kRows; ++p) {
        auto* c = new Card(p, back, face(p / 2 + 1), &w);
        c->setGeometry(kMargin + kStep * (p % kCols), kMargin + kStep * (p / kCols), kCard, kCard);
        cards.push_back(c);
    }
    w.resize(2 * kMargin + kStep * kCols, 2 * kMargin + kStep * kRows);
    w.move(std::atoi(argv[2]), std::atoi(argv[3]));
    w.show();
    return app.exec();
}
