// The referee: the checks of the plug-in that devhost.exe's --check and the in-process tests share
// (the shadow game, shadow_game.h, calls most of them): the game window against a game, the handles
// the plug-in still holds, and the process's memory over many games. Every fault goes to the report
// given at the start (texts of the plug-in in it are ANSI) and is remembered.
#pragma once

#include "devhost/messenger/host.h"
#include "engine/cards.h"

#include <cstddef>
#include <functional>
#include <string>

class Referee {
  public:
    using Report = std::function<void(const std::string& fault)>;
    explicit Referee(Report report = {}) : report_(std::move(report)) {}

    void fault(const std::string& what);
    bool failed() const { return failed_; }

    // The game window shows this game with the card picture at picturePath, and the button the rules
    // call for (its caption; disabled when it does nothing). False after reporting the first difference;
    // `where` says which game, for the report.
    bool checkWindow(const std::string& picturePath, const GameState& expected, const std::string& where);

    // With no game window, after a game: the plug-in holds no GDI object, device context or GDI+
    // image, and the process's memory has not grown past the limit since the first audit.
    void audit();

  private:
    Report report_;
    bool failed_ = false;
    std::size_t memoryFirst_ = 0;
};
