// Two copies of the core taking turns through the process-wide state.
#include "support/two_copies.h"

#include "engine/actions.h"
#include "exchange/exchange.h"
#include "support/recording_frontend.h"

void enterSide(const Side& side) {
    game = side.state;
    winBlinkRunning = side.blink;
    fakeWindowOpen = side.windowOpen;
}

void leaveSide(Side& side) {
    side.state = game;
    side.blink = winBlinkRunning;
    side.windowOpen = fakeWindowOpen;
}

bool runAction(std::uint32_t action) {
    takeFrontendCalls();
    if (action < game.myHand.size())
        onCardClicked(action);
    else
        onActionButton();
    return !frontendCalls.empty();
}

std::vector<std::uint32_t> acceptedActions(const Side& side) {
    std::vector<std::uint32_t> accepted;
    for (std::uint32_t action = 0; action <= side.state.myHand.size(); ++action) {
        enterSide(side);
        if (runAction(action))
            accepted.push_back(action);
    }
    return accepted;
}

std::vector<std::string> deliver(const Side& sender, Side& receiver, const std::string& text) {
    enterSide(receiver);
    takeFrontendCalls();
    receiveStateMessage(sender.self, text.c_str());
    std::vector<std::string> answered = sentTexts();
    leaveSide(receiver);
    return answered;
}
