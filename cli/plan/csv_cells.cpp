#include "cli/plan/csv_cells.h"

namespace tolm::linkora {
namespace {

// The one of ',' ';' and TAB that the heading line holds most often outside
// quotes (European spreadsheets save ';', "Unicode text" saves TAB); the
// heading line is the first that is neither blank nor a '#' comment.
char Separator(std::string_view text) {
    while (!text.empty() && (text.front() == '#' || text.front() == '\r' || text.front() == '\n')) {
        const std::size_t end = text.find('\n');
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n') break;
        commas += c == ',' ? 1 : 0;
        semicolons += c == ';' ? 1 : 0;
        tabs += c == '\t' ? 1 : 0;
    }
    if (commas >= semicolons && commas >= tabs) return ',';
    return semicolons >= tabs ? ';' : '\t';
}

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text), separator_(Separator(text)) {}

    CsvTable Read() {
        CsvTable table;
        table.separator = separator_;
        CsvRow row;
        while (!AtEnd()) {
            CsvCell cell;
            cell.where = Here();
            if (Peek() == '"') {
                if (!ReadQuoted(cell.text)) {
                    table.problem = PlanProblem{cell.where, "a quoted cell is not closed"};
                    break;
                }
            }
            // Text after a closing quote, and unquoted text, count as they stand.
            while (!AtEnd() && Peek() != separator_ && Peek() != '\n' && Peek() != '\r')
                cell.text += Next();
            row.push_back(std::move(cell));
            if (!AtEnd() && Peek() == separator_) {
                Next();
                continue;
            }
            EndLine();
            if (!(row.size() == 1 && row.front().text.empty())) table.rows.push_back(row);
            row.clear();
        }
        if (!row.empty()) table.rows.push_back(row);
        return table;
    }

  private:
    bool AtEnd() const { return at_ >= text_.size(); }
    char Peek() const { return text_[at_]; }
    PlanPosition Here() const { return {line_, static_cast<int>(at_ - line_start_) + 1}; }

    char Next() {
        const char c = text_[at_++];
        if (c == '\n') {
            ++line_;
            line_start_ = at_;
        }
        return c;
    }

    void EndLine() {
        if (!AtEnd() && Peek() == '\r') Next();
        if (!AtEnd() && Peek() == '\n') Next();
    }

    // After the opening quote up to and including the closing one.
    bool ReadQuoted(std::string& text) {
        Next();
        while (!AtEnd()) {
            const char c = Next();
            if (c != '"') {
                if (c != '\r' || AtEnd() || Peek() != '\n') text += c;
                continue;
            }
            if (AtEnd() || Peek() != '"') return true;
            text += Next();
        }
        return false;
    }

    std::string_view text_;
    char separator_;
    std::size_t at_ = 0;
    std::size_t line_start_ = 0;
    int line_ = 1;
};

}  // namespace

CsvTable ReadCsv(std::string_view text) {
    return Reader(text).Read();
}

}  // namespace tolm::linkora
