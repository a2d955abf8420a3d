// Two copies of the core, each on its own record.
#include "stand_in/two_copies.h"

#include "exchange/show_and_send.h"
#include "exchange/exchange.h"

bool runAction(GameState& game, std::uint32_t action) {
    takeCalls(game);
    action < game.myHand.size() ? onCardClicked(game, action) : onActionButton(game);
    return !fakeWindow(game).calls.empty();
}

std::vector<std::uint32_t> acceptedActions(const GameState& game) {
    std::vector<std::uint32_t> accepted;
    for (std::uint32_t action = 0; action <= game.myHand.size(); ++action) {
        GameState trial = game;
        fakeWindow(trial) = fakeWindow(game);
        if (runAction(trial, action))
            accepted.push_back(action);
        forgetFakeWindow(trial);
    }
    return accepted;
}

std::vector<std::string> deliver(const Side& sender, Side& receiver, const std::string& text) {
    takeCalls(receiver.state);
    receiveStateMessage(receiver.state, sender.self, text.c_str());
    return sentTexts(receiver.state);
}
