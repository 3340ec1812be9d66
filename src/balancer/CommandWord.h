#pragma once
// The balancer's protocol pieces: the command byte with its parity, the 16-bit command data word
// with its CRC-4, the controller strings of a balancer transfer and the parsing of a read reply.
// No state and no controls: the procedures in this folder put them together.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kb::balancer {

// Command modes, as the options " WRITE = 00" .. " SUSPEND" are indexed.
enum class Mode { kWrite = 0, kReadCommand = 1, kReadStatus = 2, kExecute = 3, kSuspend = 4 };
inline constexpr int kModes = 5;

// Cell actions: 00 none, 01 (no name), 10 discharge, 11 charge.
inline constexpr int kActionNone = 0;
inline constexpr int kActionDischarge = 2;
inline constexpr int kActionCharge = 3;

// Check bits 3..0 of a command word whose data bits 15..4 are given (d15 in bit 11): the CRC-4
// with generator x^4 + x + 1 over the twelve bits, most significant first, complemented.
int checkBits(unsigned dataBits);
// The word with bits 3..0 replaced by its check bits.
std::uint16_t withCheck(std::uint16_t word);
// True when bits 3..0 equal the check bits of bits 15..4.
bool checkOk(std::uint16_t word);

// Action of cell (0..5) in a word, and a word's bits with one cell's action put in.
int actionOf(std::uint16_t word, int cell);
std::uint16_t withAction(std::uint16_t word, int cell, int action);

// A word from its two byte texts (read as hexadecimal), and back.
std::uint16_t wordOf(std::string_view hi, std::string_view lo);
std::string hiText(std::uint16_t word);
std::string loText(std::uint16_t word);

// Parity digit of the command byte from the number of one-bits among bits 7..1: even parity
// over the whole byte, inverted for SUSPEND.
char parityDigit(int onesAbove, bool suspend);

// "0".."9" and "A".."F": the characters a reply byte is made of.
bool isHexDigit(char c);

// Controller strings. Every balancer frame is "xXS" + command byte + body + "xX".
std::string frame(std::string_view command, std::string_view body = {});
// Body of a WRITE: "S" hi "S" lo per word, top chip first.
std::string wordTokens(std::string_view hi, std::string_view lo);
// Body of a read: "RR" per chip read.
std::string readTokens(int chips);

// A reply word of one chip: its two byte texts.
struct ReplyWord {
  std::string hi;
  std::string lo;
};
struct ReplyWords {
  std::optional<ReplyWord> bottom;
  std::optional<ReplyWord> top;
};
// Takes the bottom chip's word from the start of the reply and, when the board has its top chip,
// the top chip's after it. A word is taken, its four characters as they stand, when its first
// character is a hex digit; when the bottom word is not taken, the top chip's is looked for at
// the start.
ReplyWords parseReply(std::string_view reply, bool topChip);
// A word's check: its four characters are hex digits and its check bits are right. A word taken
// from a reply cut short or garbled inside fails it.
bool wordTextOk(std::string_view hi, std::string_view lo);

}  // namespace kb::balancer
