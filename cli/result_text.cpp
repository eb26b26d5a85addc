#include "result_text.h"

#include <initializer_list>

#include "zeko_api.h"

namespace {

struct ResultMeaning {
    int code;
    std::initializer_list<LinkCall> calls;
    const char* name;
    const char* meaning;
};

using enum LinkCall;

// The library's codes, per call that returns them; every other nonzero code is the sensor's.
const ResultMeaning kMeanings[] = {
    {ZEKO_BAD_ARGUMENT, {Initial}, "ZEKO_BAD_ARGUMENT", "the baud rate was refused"},
    {ZEKO_BAD_ARGUMENT,
     {Block},
     "ZEKO_BAD_ARGUMENT",
     "the block command was refused, nothing sent"},
    {ZEKO_NOT_READY, {Get, Set, Block}, "ZEKO_NOT_READY", "no verified connection, or it was lost"},
    {ZEKO_NO_PORT, {Initial}, "ZEKO_NO_PORT", "the port cannot be opened"},
    {ZEKO_NO_ANSWER, {Initial}, "ZEKO_NO_ANSWER", "no valid answer to the identity request"},
    {ZEKO_WRONG_IDENTITY, {Initial}, "ZEKO_WRONG_IDENTITY", "another device answered"},
    {ZEKO_NO_LOCK, {Get, Set}, "ZEKO_NO_LOCK", "no link open"},
    {ZEKO_NO_LOCK, {Block}, "ZEKO_NO_LOCK", "no reply in time, or no link open"},
    {ZEKO_LOCK_BUSY, {Get, Set, Block}, "ZEKO_LOCK_BUSY", "another call held the link for 2600 ms"},
    {ZEKO_WRONG_REPLY, {Get}, "ZEKO_WRONG_REPLY", "an acknowledgement came where a value was due"},
    {ZEKO_WRONG_REPLY, {Set}, "ZEKO_WRONG_REPLY", "a value came where an acknowledgement was due"},
    {ZEKO_LINK_LOST, {Get, Set}, "ZEKO_LINK_LOST", "no reply; the link is marked lost"},
    {ZEKO_MALFORMED, {Get}, "ZEKO_MALFORMED", "malformed reply"},
    {ZEKO_MALFORMED, {Set}, "ZEKO_MALFORMED", "malformed reply, or another parameter's answer"},
    {ZEKO_GET_TEXT, {Get}, "ZEKO_GET_TEXT", "the sensor answered with a text"},
    {ZEKO_SET_TEXT, {Set}, "ZEKO_SET_TEXT", "the sensor answered the write with a text"},
};

const ResultMeaning* Find(int code, LinkCall call) {
    for (const ResultMeaning& m : kMeanings) {
        if (m.code != code) continue;
        for (LinkCall c : m.calls) {
            if (c == call) return &m;
        }
    }
    return nullptr;
}

}  // namespace

bool IsSensorCode(int code, LinkCall call) {
    return code != ZEKO_OK && Find(code, call) == nullptr;
}

std::string ResultText(int code, LinkCall call) {
    const std::string number = std::to_string(code);
    if (code == ZEKO_OK) return number + " ZEKO_OK: done";
    if (const ResultMeaning* m = Find(code, call))
        return number + " " + m->name + ": " + m->meaning;
    return number + (call == Block ? " (sensor status): the sensor refused the block command"
                                   : " (sensor code): the sensor refused the write");
}
