// The user-visible texts are the intended Russian words in Windows-1251.
#include "engine/texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {
// Windows-1251 to UTF-8 for the letters the texts use: the Cyrillic block, Ё and ё, and ASCII.
std::string utf8FromCp1251(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        unsigned code = *p < 0x80    ? *p
                        : *p >= 0xc0 ? 0x410 + (*p - 0xc0)
                        : *p == 0xa8 ? 0x401
                        : *p == 0xb8 ? 0x451
                        : *p == 0xa9 ? 0xa9 // the copyright sign
                                     : 0xfffd;
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else {
            out += static_cast<char>(0xc0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3f));
        }
    }
    return out;
}
} // namespace

TEST(Texts, AreTheRussianWordsInWindows1251) {
    const std::pair<const char*, const char*> texts[] = {
        {captionNewGame, "Новая игра"},
        {captionDone, "Готово"},
        {captionBeatOff, "Отбой"},
        {captionTake, "Беру"},
        {winMessage, "Молодцы! Вы выиграли! ;)"},
        {statusLost, "Вы проиграли."},
        {statusDraw, "Ничья."},
        {statusWaitForThrowIn, "Подождите: оппонент выбирает карты для подброса."},
        {statusChooseThrowIn, "Оппонент забирает. Выберите карты для подброса."},
        {statusYourMove, "Ваш ход."},
        {statusOpponentDefends, "Ваш оппонент отбивается."},
        {statusOpponentAttacks, "Ваш оппонент ходить."},
        {statusDefend, "Отбивайтесь."},
        {gameName, "Игра в дурака"},
        {windowTitlePrefix, "Игра в дурака с "},
        {pictureLoadError, "Не удалось загрузить изображение cards.png."},
        {pluginName, "Карточная игра в дурака"},
        {aboutCaption, "О программе"},
        {aboutWebPage, "Веб-страница: "},
        {aboutProjectBorn, "Дата рождения проекта: "},
        {aboutBuildDate, "Дата компиляции: "},
        {aboutProjectBirthDate, "Декабрь 2026"},
        {aboutThanks, "Спасибо нашему первому тестеру за помощь в тестировании."},
        {pluginCopyright, "© 2026 Kelvaron developers"},
    };
    for (auto [cp1251, expected] : texts)
        EXPECT_EQ(utf8FromCp1251(cp1251), expected);
    EXPECT_EQ(sizeof windowTitlePrefix - 1, 16u);
}
