#pragma once

#include <iosfwd>
#include <string_view>

namespace tavoren::cli {

// The user at the terminal: questions, waiting for Enter, the countdown display.
class Console {
public:
    Console(std::istream& in, std::ostream& out);

    static bool InputIsTerminal();

    // Asks `question` with [y/N]; true only for an answer of y or yes.
    bool Confirm(std::string_view question);
    // False when the input ends instead.
    bool WaitForEnter(std::string_view prompt);
    // One step of a countdown from `total`: a bar redrawn in place on a terminal, a line each
    // step otherwise.
    void ShowCountdown(int remainingSeconds, int totalSeconds);
    void EndCountdown();

private:
    std::istream& m_in;
    std::ostream& m_out;
    bool m_outputIsTerminal;
};

}  // namespace tavoren::cli
