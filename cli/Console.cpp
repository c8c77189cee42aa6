#include "cli/Console.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <string>

namespace tavoren::cli {
namespace {

constexpr int kBarWidth = 25;

std::string Lowered(std::string text) {
    std::ranges::transform(text, text.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

Console::Console(std::istream& in, std::ostream& out)
    : m_in(in), m_out(out), m_outputIsTerminal(isatty(STDOUT_FILENO) == 1) {}

bool Console::InputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool Console::Confirm(std::string_view question) {
    m_out << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(m_in, answer)) {
        m_out << '\n';
        return false;
    }
    answer = Lowered(answer);
    return answer == "y" || answer == "yes";
}

bool Console::WaitForEnter(std::string_view prompt) {
    m_out << prompt << std::flush;
    std::string ignored;
    if (!std::getline(m_in, ignored)) {
        m_out << '\n';
        return false;
    }
    return true;
}

void Console::ShowCountdown(int remainingSeconds, int totalSeconds) {
    const int filled = std::clamp(
        (totalSeconds - remainingSeconds) * kBarWidth / std::max(totalSeconds, 1), 0, kBarWidth);
    const std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "]";
    const std::string text =
        bar + " Checking now, rest " + std::to_string(remainingSeconds) + " sec.";
    if (m_outputIsTerminal) {
        // Erasing to the end of the line drops what a longer earlier step left there.
        m_out << '\r' << text << "\x1b[K" << std::flush;
    } else {
        m_out << text << '\n';
    }
}

void Console::EndCountdown() {
    if (m_outputIsTerminal) m_out << '\n';
}

}  // namespace tavoren::cli
