// The window itself: building it from its description, start-up, shutdown, the window's
// own small handlers, the About box, and the unit-level state shared with the network.
#include <algorithm>
#include <map>
#include <stdexcept>
#include <utility>

#include "game/formdesc.h"
#include "game/zwiunit1.h"
#include "instance/sngInstanceControl.h"
#include "platform/app.h"
#include "platform/dialogs.h"
#include "platform/text.h"

namespace ZwiUnit1 {
game::TForm1* Form1 = nullptr;
std::atomic<bool> clicksBlocked{false};
std::atomic<bool> clickBusy{false};
bool twoCardsUp = false;
std::atomic<bool> connected{false};
bool timer3Busy = false, timer4Busy = false;
const unsigned char* yourScoreWave = nullptr;

void initialization() {
    std::size_t size = 0;
    yourScoreWave = plat::findResource(plat::programModule(), "WAVE", "yourscore", &size);
}
}  // namespace ZwiUnit1

namespace game {

using namespace ZwiUnit1;

namespace {

plat::Color parseColor(const std::string& v) {
    if (v == "clBtnFace") return plat::clBtnFace;
    if (v == "clWindowText") return plat::clWindowText;
    return static_cast<plat::Color>(std::stoul(v, nullptr, 0));
}

plat::Font parseFont(const std::string& v) {
    plat::Font f;
    auto slash = v.find('/');
    f.family = v.substr(0, slash);
    if (slash != std::string::npos) f.pixelHeight = std::stoi(v.substr(slash + 1));
    return f;
}

// Captions in the description file are UTF-8; the game holds Windows-1252.
std::string text(const ComponentDesc& c, const std::string& key) {
    return plat::utf8ToCp1252(c.str(key));
}

}  // namespace

TForm1::TForm1(const Variant& v, const FormOptions& opts)
    : plat::Form("Form1"), variant(v), options(opts), N(v.cardCount), P(v.pairCount) {
    InstallResources(variant);
    Form1 = this;
    images.assign(static_cast<std::size_t>(N), nullptr);
    try {
        LoadDescription();
        // Components finish loading in the order of the description: the instance guard,
        // then the server starts listening.
        if (sngInstanceControl1) sngInstanceControl1->Loaded();
    } catch (...) {
        Form1 = nullptr;  // the half-built window is gone before anyone can reach it
        throw;
    }
    // A copy over the instance limit is about to end: it opens no port and shows nothing.
    if (options.listen && !plat::Application::terminated()) {
        try {
            IdTCPServer1->setActive(true);
        } catch (const std::exception&) {
            // Another copy holds the port. The create handler's listen step reports it and
            // the window runs on without listening.
        }
    }
    FormCreate();
}

TForm1::~TForm1() {
    for (auto& t : timers) t->setEnabled(false);
    if (Client) Client->onDisconnected = nullptr;
    if (Client) Client->disconnect();
    if (IdTCPServer1) IdTCPServer1->setActive(false);
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::LoadDescription() {
    std::size_t size = 0;
    const unsigned char* data =
        plat::findResource(plat::programModule(), "FORM", variant.formName, &size);
    if (!data)
        throw std::runtime_error(std::string("window description missing: ") + variant.formName);
    auto components = parseFormDescription(std::string(reinterpret_cast<const char*>(data), size));

    // Handlers by the names the description binds them with.
    std::map<std::string, std::function<void()>> handlers = {
        {"FormCreate", [] {}},  // run once by the constructor, after the load steps
        {"FormClose", [this] { FormClose(); }},
        {"FormClick", [this] { FormClick(); }},
        {"FormActivate", [this] { FormActivate(); }},
        {"FormDeactivate", [this] { FormDeactivate(); }},
        {"Exit1Click", [this] { Exit1Click(); }},
        {"About1Click", [this] { About1Click(); }},
        {"ShowHint1Click", [this] { ShowHint1Click(); }},
        {"animals1Click", [this] { animals1Click(); }},
        {"birds1Click", [this] { birds1Click(); }},
        {"Start1Click", [this] { Start1Click(); }},
        {"Button1Click", [this] { Button1Click(); }},
        {"Solo1Click", [this] { Solo1Click(); }},
        {"Timer1Timer", [this] { Timer1Timer(); }},
        {"Timer2Timer", [this] { Timer2Timer(); }},
        {"Timer3Timer", [this] { Timer3Timer(); }},
        {"Timer4Timer", [this] { Timer4Timer(); }},
        {"Timer5Timer", [this] { Timer5Timer(); }},
        {"changeinterval1Click", [this] { changeinterval1Click(); }},
        {"clicks1Click", [this] { clicks1Click(); }},
        {"time1Click", [this] { time1Click(); }},
        {"Replay1Click", [this] { Replay1Click(); }},
        {"ShowDemo1Click", [this] { ShowDemo1Click(); }},
        {"Save1Click", [this] { Save1Click(); }},
        {"Load1Click", [this] { Load1Click(); }},
        {"FileListenItemClick", [this] { FileListenItemClick(); }},
        {"FileConnectItemClick", [this] { FileConnectItemClick(); }},
        {"Disconnect1Click", [this] { Disconnect1Click(); }},
        {"OpenChatexe1Click", [this] { OpenChatexe1Click(); }},
        {"Send1Click", [this] { Send1Click(); }},
    };
    auto handler = [&](const ComponentDesc& c, const std::string& event) -> plat::Handler {
        if (!c.has(event)) return nullptr;
        auto it = handlers.find(c.str(event));
        if (it == handlers.end())
            throw std::runtime_error("window description binds an unknown handler: " +
                                     c.str(event));
        return it->second;
    };
    std::vector<std::pair<int, plat::Control*>> tabOrder;
    auto place = [&tabOrder](plat::Control& ctl, const ComponentDesc& c) {
        ctl.setBounds(c.num("left"), c.num("top"), c.num("width"), c.num("height"));
        if (c.has("font")) ctl.setFont(parseFont(c.str("font")));
        ctl.setVisible(c.flag("visible", true));
        ctl.setEnabled(c.flag("enabled", true));
        if (c.has("anchors")) {
            if (c.str("anchors") != "none")
                throw std::runtime_error("window description: unknown anchors " + c.str("anchors"));
            ctl.setAnchors(plat::Control::Anchors::None);
        }
        if (c.has("taborder")) tabOrder.emplace_back(c.num("taborder"), &ctl);
    };
    std::map<std::string, plat::Label**> labels = {
        {"Label1", &Label1}, {"Label2", &Label2}, {"Label3", &Label3}, {"Label4", &Label4},
        {"Label5", &Label5}, {"Label7", &Label7}, {"Label8", &Label8}};
    std::map<std::string, plat::Timer**> timerFields = {{"Timer1", &Timer1},
                                                        {"Timer2", &Timer2},
                                                        {"Timer3", &Timer3},
                                                        {"Timer4", &Timer4},
                                                        {"Timer5", &Timer5}};
    std::map<std::string, plat::MenuItem**> items = {{"OpenChatexe1", &OpenChatexe1},
                                                     {"Load1", &Load1},
                                                     {"Save1", &Save1},
                                                     {"FileListenItem", &FileListenItem},
                                                     {"Connect1", &Connect1},
                                                     {"Disconnect1", &Disconnect1},
                                                     {"Exit1", &Exit1},
                                                     {"Solo1", &Solo1},
                                                     {"AutomaticClear1", &AutomaticClear1},
                                                     {"Start1", &Start1},
                                                     {"Send1", &Send1},
                                                     {"ShowDemo1", &ShowDemo1},
                                                     {"Replay1", &Replay1},
                                                     {"changeinterval1", &changeinterval1},
                                                     {"HallOfFame1", &HallOfFame1},
                                                     {"clicks1", &clicks1},
                                                     {"time1", &time1},
                                                     {"animals1", &animals1},
                                                     {"birds1", &birds1},
                                                     {"ShowHint1", &ShowHint1},
                                                     {"About1", &About1}};
    std::map<std::string, plat::MenuItem*> menus;

    for (const auto& c : components) {
        if (c.kind == "form") {
            setClientSize(c.num("width"), c.num("height"));
            setPosition(c.num("left"), c.num("top"));
            setCaption(text(c, "caption"));
            if (c.has("font")) setFont(parseFont(c.str("font")));
            if (c.has("color")) setColor(parseColor(c.str("color")));
            onClose = handler(c, "OnClose");
            onClick = handler(c, "OnClick");
            onActivate = handler(c, "OnActivate");
            onDeactivate = handler(c, "OnDeactivate");
        } else if (c.kind == "image") {
            auto img = std::make_unique<plat::Image>(*this, c.name);
            place(*img, c);
            img->tag = c.num("tag");
            plat::Image* raw = img.get();
            if (c.has("OnClick")) raw->onClick = [this, raw] { Image1Click(raw); };
            if (raw->tag >= 0 && raw->tag < N) images[static_cast<std::size_t>(raw->tag)] = raw;
            controls.push_back(std::move(img));
        } else if (c.kind == "label") {
            auto lbl = std::make_unique<plat::Label>(*this, c.name);
            place(*lbl, c);
            lbl->setCaption(text(c, "caption"));
            if (auto it = labels.find(c.name); it != labels.end()) *it->second = lbl.get();
            controls.push_back(std::move(lbl));
        } else if (c.kind == "speedbutton") {
            auto b = std::make_unique<plat::SpeedButton>(*this, c.name);
            place(*b, c);
            b->onClick = handler(c, "OnClick");
            SpeedButton1 = b.get();
            controls.push_back(std::move(b));
        } else if (c.kind == "bitbtn") {
            auto b = std::make_unique<plat::BitBtn>(*this, c.name);
            place(*b, c);
            b->setKind(c.str("kind") == "bkYes" ? plat::BitBtn::bkYes : plat::BitBtn::bkNo);
            b->setCaption(text(c, "caption"));
            BitBtn1 = b.get();
            controls.push_back(std::move(b));
        } else if (c.kind == "button") {
            auto b = std::make_unique<plat::Button>(*this, c.name);
            place(*b, c);
            b->setCaption(text(c, "caption"));
            b->onClick = handler(c, "OnClick");
            if (c.name == "Button1") Button1 = b.get();
            if (c.name == "Button2") Button2 = b.get();
            controls.push_back(std::move(b));
        } else if (c.kind == "listbox") {
            auto lb = std::make_unique<plat::ListBox>(*this, c.name);
            place(*lb, c);
            lb->sorted = c.flag("sorted", false);
            lb->setBorder(c.flag("border", true));
            lb->setItemHeight(c.num("itemheight", 16));
            lb->onClick = handler(c, "OnClick");
            if (c.name == "ListBox1") ListBox1 = lb.get();
            if (c.name == "ListBox2") ListBox2 = lb.get();
            controls.push_back(std::move(lb));
        } else if (c.kind == "timer") {
            auto t = std::make_unique<plat::Timer>(c.name);
            t->setInterval(c.num("interval", 1000));
            t->onTimer = handler(c, "OnTimer");
            t->setEnabled(c.flag("enabled", true));
            if (auto it = timerFields.find(c.name); it != timerFields.end()) *it->second = t.get();
            timers.push_back(std::move(t));
        } else if (c.kind == "instancecontrol") {
            if (options.instanceGuard) {
                sngInstanceControl1 = std::make_unique<instance::TsngInstanceControl>(this);
                sngInstanceControl1->Enabled = c.flag("enabled", true);
                sngInstanceControl1->MaxInstances =
                    static_cast<std::uint32_t>(c.num("maxinstances", 1));
            }
        } else if (c.kind == "tcpserver") {
            IdTCPServer1 = std::make_unique<plat::TcpServer>();
            IdTCPServer1->port = options.port;
            IdTCPServer1->reuseAddress = c.flag("reuse", true);
            IdTCPServer1->onConnect = [this](plat::TcpConnection& k) { IdTCPServer1Connect(k); };
            IdTCPServer1->onExecute = [this](plat::TcpConnection& k) { IdTCPServer1Execute(k); };
            IdTCPServer1->onDisconnect = [this](plat::TcpConnection& k) {
                IdTCPServer1Disconnect(k);
            };
        } else if (c.kind == "tcpclient") {
            Client = std::make_unique<plat::TcpClient>();
            Client->host = c.str("host", "127.0.0.1");
            Client->port = c.num("port", 1200);
            Client->onConnected = [this] { ClientConnected(); };
            Client->onDisconnected = [this] { ClientDisconnected(); };
        } else if (c.kind == "antifreeze") {
            // The client's connect keeps the window's messages flowing by itself.
        } else if (c.kind == "menu") {
            plat::MenuItem& m = addMenu(c.name, text(c, "caption"));
            menus[c.name] = &m;
        } else if (c.kind == "item" || c.kind == "separator") {
            auto parent = menus.find(c.str("parent"));
            if (parent == menus.end())
                throw std::runtime_error("window description: unknown menu " + c.str("parent"));
            if (c.kind == "separator") {
                parent->second->addSeparator();
                continue;
            }
            plat::MenuItem& it = parent->second->add(c.name, text(c, "caption"));
            it.setShortcut(c.str("shortcut"));
            it.setChecked(c.flag("checked", false));
            it.setEnabled(c.flag("enabled", true));
            it.autoCheck = c.flag("autocheck", false);
            it.onClick = handler(c, "OnClick");
            menus[c.name] = &it;
            if (auto f = items.find(c.name); f != items.end()) *f->second = &it;
        } else {
            throw std::runtime_error("window description: unknown component kind " + c.kind);
        }
    }
    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<plat::Control*> order;
    for (const auto& t : tabOrder) order.push_back(t.second);
    setTabOrder(order);
}

void TForm1::FormCreate() {
    if (!variant.zwirlo3) {
        pictureLibrary = plat::loadLibrary("beastpix60.dll");
        if (pictureLibrary == 0) {
            plat::showMessage("LoadLibrary mislukt!");
            return;
        }
    }
    timer3Busy = false;
    timer4Busy = false;
    savedScores = {0, 0, 0, 0};
    restartRecording = false;
    hofVisible = true;
    closeRequested = false;
    startScoreMe = 0;
    startScoreOpp = 0;
    replayRunning = false;
    Timer2->setEnabled(false);
    // A port held by another copy must not end the start-up: the error is shown and the
    // window runs on without listening, "&Luisteren" unchecked.
    if (options.listen && !plat::Application::terminated())
        plat::Application::guarded([this] { FileListenItemClick(); });
    myLastPos = myLastPicture = oppLastPos = oppLastPicture = 0;
    myTurnedBack = oppTurnedBack = 0;
    twoCardsUp = false;
    cardsUp = 0;
    oppLastTurnedPicture = 0;
    delayInterval = 1000;
    outbox.clear(sendPending);
    setColor(0xF0F0F0);
    connected = false;
    clicksBlocked = true;
    clickBusy = false;
}

void TForm1::Exit1Click() {
    Client->disconnect();
    IdTCPServer1->setActive(false);
    plat::Application::terminate();
    plat::Application::exitProcess(0);
}

void TForm1::FormClose() {
    plat::Application::terminate();
    plat::Application::exitProcess(0);
}

void TForm1::FormClick() {
    ListBox1->setVisible(false);
    ListBox2->setVisible(false);
}

void TForm1::FormActivate() {}

// Runs only when the focus passes to another non-modal window of this program, which it
// never opens; dialogs and switching applications leave the connection alone.
void TForm1::FormDeactivate() {
    if (!IdTCPServer1->active()) {
        Client->disconnect();
        if (!variant.zwirlo3) {
            BitBtn1->setKind(plat::BitBtn::bkNo);
            BitBtn1->setCaption("Geen Verbinding");
        }
    }
    IdTCPServer1->setActive(false);
}

void TForm1::About1Click() {
    TAboutBox box(variant);
    box.showModal();
}

std::int32_t TForm1::LabelValue(const plat::Label* label) {
    return plat::strToInt(label->caption());
}

void TForm1::SetLabelValue(plat::Label* label, std::int32_t value) {
    label->setCaption(std::to_string(value));
}

void TForm1::ColourPlayers(plat::Color one, plat::Color two) {
    Label1->setFontColor(one);
    Label2->setFontColor(one);
    Label3->setFontColor(two);
    Label4->setFontColor(two);
}

// ---- the About box ----

TAboutBox::TAboutBox(const Variant& variant) : plat::Form("AboutBox") {
    setCaption("Over dit spel");
    setClientSize(298, 213);
    setFont(plat::Font{"MS Sans Serif", 11});
    auto add = [this](auto ctl, int l, int t, int w, int h) {
        ctl->setBounds(l, t, w, h);
        auto* raw = ctl.get();
        controls_.push_back(std::move(ctl));
        return raw;
    };
    // The panel's contents stand on the form, offset by the panel's own (8, 8).
    add(std::make_unique<plat::Panel>(*this, "Panel1"), 8, 8, 281, 161);
    ProgramIcon = add(std::make_unique<plat::Image>(*this, "ProgramIcon"), 16, 16, 65, 57);
    ProgramIcon->setStretch(true);
    ProgramIcon->setPicture(plat::Bitmap::load(plat::programModule(), "ABOUTICON"));
    ProductName = add(std::make_unique<plat::Label>(*this, "ProductName"), 99, 24, 180, 13);
    ProductName->setCaption(variant.aboutProduct);
    Version = add(std::make_unique<plat::Label>(*this, "Version"), 99, 43, 180, 13);
    Version->setCaption(variant.aboutVersion);
    Copyright = add(std::make_unique<plat::Label>(*this, "Copyright"), 16, 88, 260, 13);
    Copyright->setCaption("Copyright \xA9 2026 de makers van Zwirlo");
    Comments = add(std::make_unique<plat::Label>(*this, "Comments"), 16, 107, 216, 39);
    Comments->setWordWrap(true);
    Comments->setBounds(16, 107, 216, 39);  // no longer sized to its text
    Comments->setCaption("Het Zwirlo-team, zwirlo@example.org");
    OKButton = add(std::make_unique<plat::Button>(*this, "OKButton"), 111, 180, 75, 25);
    OKButton->setCaption("OK");
    OKButton->setDefault(true);
    OKButton->modalResult = 1;
}

}  // namespace game
