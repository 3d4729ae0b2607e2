#pragma once

#include <cstddef>
#include <string_view>

#include "report/MailSummary.h"

namespace veradex {

// Reads a mail's bytes into its summary with the mail libraries (GMime for
// Internet messages, libgsf for Outlook compound files). It is built as a
// module of its own ("veradex-mail" beside the program, see MailModule): the
// libraries are loaded only once a mail is first read, not at every start of
// a program that mostly rests in the tray.
class MailReader {
 public:
  // The summary of `bytes`: the whole mail (`whole`, where fewer bytes than
  // `size` mean it was read only in part), or its header block alone. `size`
  // is the mail's size in bytes.
  static MailSummary Read(std::string_view bytes, long long size, bool whole);
};

// The module's entry, found by this name.
inline constexpr char kMailReaderSymbol[] = "VeradexReadMail";
using MailReaderFunction = void (*)(const char* bytes, std::size_t length, long long size, bool whole,
                                    MailSummary* summary);

}  // namespace veradex
