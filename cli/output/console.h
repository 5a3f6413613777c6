// What linkora writes: results on standard output, messages on standard
// error, each message a line that begins "linkora: ". Module texts in what is
// said or warned are escaped (Printable); documents and tables are written
// as they stand. Every write is flushed at once: under Wine both streams are
// buffered like files.
#pragma once

#include <string>

namespace tolm::linkora {

// A document or table, as it stands.
void Print(const std::string& text);
// Text on standard output, line feeds kept, every other unprintable byte escaped.
void Say(const std::string& text);
// The same with a line end.
void SayLine(const std::string& line);
// "linkora: message" on standard error.
void Warn(const std::string& message);

}  // namespace tolm::linkora
