// Following the plug-in's game on the host's copy of the core, and checking the plug-in against it.
#include "devhost/instruments/shadow_game.h"

#include "devhost/instruments/instruments.h"
#include "devhost/instruments/table_readback.h"
#include "engine/actions.h"
#include "engine/deal.h"
#include "engine/rules.h"
#include "exchange/exchange.h"
#include "exchange/show_and_send.h"
#include "exchange/state_message.h"
#include "stand_in/card_notation.h"
#include "stand_in/fake_frontend.h"
#include "stand_in/two_copies.h"

namespace {
void fault(ShadowGame& shadow, const std::string& what) {
    if (shadow.referee)
        shadow.referee->fault(what);
}

// The chat entries and message boxes since the last judging, which must be the one text expected (an
// ordinary text received) and the trace boxes expected; none outside a receipt.
void judgeLogs(ShadowGame& shadow, const HostText* expected = nullptr, unsigned traces = 0) {
    const auto& chat = hostChatLog();
    const auto& boxes = hostMessageBoxes();
    shadow.chatsJudged = std::min(shadow.chatsJudged, chat.size()); // the logs were cleared
    shadow.boxesJudged = std::min(shadow.boxesJudged, boxes.size());
    bool chatExpected = expected && !isStateMessage(expected->text.c_str());
    std::size_t chats = chat.size() - shadow.chatsJudged, shownTraces = 0;
    for (; shadow.boxesJudged < boxes.size(); ++shadow.boxesJudged) {
        const HostMessageBox& box = boxes[shadow.boxesJudged];
        if (box.caption == "trace" && box.text == hexDigitErrorText && shownTraces < traces)
            ++shownTraces;
        else
            fault(shadow, "a message box: " + box.caption + ": " + box.text);
    }
    if (shownTraces != traces)
        fault(shadow, std::to_string(shownTraces) + " trace boxes for \"" + expected->text +
                          "\" where the core shows " + std::to_string(traces));
    if (chats != (chatExpected ? 1u : 0u) ||
        (chats && (chat.back().text != expected->text || chat.back().contact != expected->contact)))
        fault(shadow, std::to_string(chats) + " texts reached the chat" +
                          (chats ? ", the last " + chat.back().text : "") +
                          (expected ? " for \"" + expected->text + "\"" : ""));
    shadow.chatsJudged = chat.size();
}

// A window the user closed is closed for the core too.
void followClose(ShadowGame& shadow) {
    FakeWindow& window = fakeWindow(shadow.game);
    if (window.open && !hostGameWindow()) {
        emptyGameOnClose(shadow.game);
        window = {};
    }
}

// Before the core is asked anything: the texts it sends from now on are foretold for the plug-in.
void begin(ShadowGame& shadow, bool watching) {
    judgeLogs(shadow);
    followClose(shadow);
    takeCalls(shadow.game);
    shadow.foretold.clear();
    shadow.watching = watching;
}

void foretell(ShadowGame& shadow) {
    for (const std::string& text : sentTexts(shadow.game))
        shadow.foretold.push_back(text);
}

void end(ShadowGame& shadow, const std::string& where) {
    shadow.watching = shadow.dealMayFollow = false;
    for (const std::string& text : shadow.foretold)
        fault(shadow, "the plug-in did not send " + text + " after " + where);
    shadow.foretold.clear();
    shadowCheckWindow(shadow, where);
}
} // namespace

void shadowCheckWindow(ShadowGame& shadow, const std::string& where) {
    followClose(shadow);
    if (shadow.referee && hostGameWindow())
        shadow.referee->checkWindow(cardPicturePath, shadow.game, where);
}

void shadowReceipt(ShadowGame& shadow, const HostText& text, bool done) {
    if (done) {
        unsigned traces = 0;
        for (const std::string& call : fakeWindow(shadow.game).calls)
            traces += call.rfind("trace:", 0) == 0;
        judgeLogs(shadow, &text, traces);
        return end(shadow, "the text \"" + text.text + "\"");
    }
    begin(shadow, true);
    if (isStateMessage(text.text.c_str())) {
        receiveStateMessage(shadow.game, static_cast<ContactHandle>(text.contact), text.text.c_str());
        foretell(shadow);
    }
}

void shadowSent(ShadowGame& shadow, HostWord contact, const std::string& text) {
    GameState& game = shadow.game;
    if (!shadow.foretold.empty() && shadow.foretold.front() == text &&
        contact == static_cast<HostWord>(game.opponentContact)) {
        shadow.foretold.pop_front();
        return;
    }
    if (shadow.watching && !shadow.dealMayFollow)
        fault(shadow, "the plug-in sent " + text + " where the core sends " +
                          (shadow.foretold.empty() ? "nothing" : shadow.foretold.front()));
    shadow.foretold.clear();
    // Not foretold: a text the user typed, or a state of the plug-in's own that the core takes as it
    // is; a deal it made is the core's deal from now on.
    GameState read;
    if (!isStateMessage(text.c_str()))
        return;
    if (readStateMessage(text.c_str(), read) != DecodeResult::Accepted)
        return fault(shadow, "the plug-in sent a text that is no sound state: " + text);
    game.opponentContact = static_cast<ContactHandle>(contact);
    fakeWindow(game).open = true;
    adoptState(game, mirrored(std::move(read)));
    if (isFreshDeal(game))
        sendDeal(game); // what the plug-in keeps of its deal
    takeCalls(game);
}

void shadowChooseMenuItem(ShadowGame& shadow, HostWord contact, std::size_t item) {
    begin(shadow, true);
    // The window brought to the front sends the game again; without one the plug-in deals.
    shadow.dealMayFollow = !fakeWindow(shadow.game).open;
    if (!shadow.dealMayFollow)
        resendGameTo(shadow.game, static_cast<ContactHandle>(contact));
    foretell(shadow);
    hostChooseMenuItem(contact, item);
    end(shadow, "the menu item");
}

std::string shadowPlay(ShadowGame& shadow) {
    begin(shadow, false);
    GameState& game = shadow.game;
    std::vector<std::uint32_t> moves = acceptedActions(game);
    if (!hostGameWindow() || gameOutcome(game) != InProgress || moves.empty())
        return "";
    std::uint32_t move =
        moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(shadow.random)];
    bool button = move == game.myHand.size();
    std::string what = button ? actionButtonCaption(game) : code(game.myHand[move]);
    std::vector<Rect> hand;
    layoutHand(game, hand, cardMetricsForPicture(cardPictureWidth, cardPictureHeight), gameClientSize());
    begin(shadow, true);
    runAction(game, move);
    foretell(shadow);
    // Later cards lie over earlier ones: the strip at a card's left edge is always its own.
    if (button)
        hostPressActionButton();
    else
        hostClickGameWindow(hand[move].left + 1, (hand[move].top + hand[move].bottom) / 2);
    end(shadow, what);
    return what;
}
