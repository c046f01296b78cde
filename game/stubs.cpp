// Weak stand-ins for handlers still being written, so that every program and test links
// while the topic files land one by one. A real definition always wins.
#include "game/zwiunit1.h"

#define ZW_WEAK __attribute__((weak))

namespace ZwiUnit1 {
// outbox lives in network/outbox.cpp: a weak object beside it would be built and
// destroyed twice.
ZW_WEAK std::atomic<bool> sendPending{false};
ZW_WEAK void PostToPeer(const std::string& line) { outbox.post(line, sendPending); }
ZW_WEAK void SwapPair(std::int32_t& a, std::int32_t& b) { std::swap(a, b); }
}  // namespace ZwiUnit1

namespace network {
ZW_WEAK void Outbox::post(const std::string&, std::atomic<bool>& pending) { pending = true; }
ZW_WEAK void Outbox::clear(std::atomic<bool>& pending) { pending = false; }
ZW_WEAK bool Outbox::sendOne(const std::function<void(const std::string&)>&, std::atomic<bool>&) {
    return false;
}
ZW_WEAK std::size_t Outbox::size() const { return 0; }
ZW_WEAK std::string Outbox::front() const { return {}; }
}  // namespace network

namespace game {
ZW_WEAK void TForm1::LogMove(std::int32_t, std::int32_t) {}
ZW_WEAK void TForm1::LogMove(std::int32_t, std::int32_t, std::int32_t) {}
ZW_WEAK void TForm1::RestartRecordingStep() {}
ZW_WEAK void TForm1::Start1Click() {}
ZW_WEAK void TForm1::Button1Click() {}
ZW_WEAK void TForm1::Solo1Click() {}
ZW_WEAK void TForm1::Deal(bool) {}
ZW_WEAK std::int32_t TForm1::Draw(std::int32_t) { return 0; }
ZW_WEAK void TForm1::Image1Click(plat::Image*) {}
ZW_WEAK int TForm1::OpenCount() const { return 0; }
ZW_WEAK void TForm1::ApplyMoverColours() {}
ZW_WEAK void TForm1::Timer3Timer() {}
ZW_WEAK void TForm1::Timer4Timer() {}
ZW_WEAK void TForm1::Timer5Timer() {}
ZW_WEAK void TForm1::changeinterval1Click() {}
ZW_WEAK void TForm1::DrawPlaceLocked(int, const plat::Bitmap&) {}
ZW_WEAK void TForm1::HallOfFame1Click() {}
ZW_WEAK void TForm1::time1Click() {}
ZW_WEAK void TForm1::clicks1Click() {}
ZW_WEAK void TForm1::TopTenEntry() {}
ZW_WEAK void TForm1::HallOfFameReshow() {}
ZW_WEAK void TForm1::Replay1Click() {}
ZW_WEAK void TForm1::Timer1Timer() {}
ZW_WEAK void TForm1::Demo(std::int32_t) {}
ZW_WEAK void TForm1::Demo2(std::int32_t) {}
ZW_WEAK void TForm1::ShowDemo1Click() {}
ZW_WEAK void TForm1::Timer2Timer() {}
ZW_WEAK void TForm1::Demo3(std::int32_t) {}
ZW_WEAK void TForm1::Save1Click() {}
ZW_WEAK void TForm1::Load1Click() {}
ZW_WEAK void TForm1::ClientSocket1Read(const std::string&) {}
ZW_WEAK void TForm1::FileListenItemClick() {}
ZW_WEAK void TForm1::IdTCPServer1Connect(plat::TcpConnection&) {}
ZW_WEAK void TForm1::IdTCPServer1Execute(plat::TcpConnection&) {}
ZW_WEAK void TForm1::IdTCPServer1Disconnect(plat::TcpConnection&) {}
ZW_WEAK void TForm1::FileConnectItemClick() {}
ZW_WEAK void TForm1::ClientConnected() {}
ZW_WEAK void TForm1::ClientDisconnected() {}
ZW_WEAK void TForm1::Disconnect1Click() {}
ZW_WEAK void TForm1::OpenChatexe1Click() {}
ZW_WEAK void TForm1::Zend() {}
ZW_WEAK void TForm1::Send1Click() {}
}  // namespace game
