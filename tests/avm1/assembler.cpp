#include "tests/avm1/assembler.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "flash/avm1/action_reader.h"

namespace kinolux::avm1::test {

namespace {

std::string trim(const std::string& s) {
    std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return {};
    std::size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string stripComment(const std::string& s) {
    bool quoted = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"' && (i == 0 || s[i - 1] != '\\')) quoted = !quoted;
        if (s[i] == ';' && !quoted) return s.substr(0, i);
    }
    return s;
}

class Assembler {
public:
    explicit Assembler(const std::string& source) {
        std::istringstream in(source);
        std::string line;
        while (std::getline(in, line)) {
            line = trim(stripComment(line));
            if (!line.empty()) lines_.push_back(line);
        }
    }

    std::vector<std::uint8_t> run() {
        block(false);
        if (pos_ < lines_.size()) fail("unexpected '}'");
        for (const Fixup& f : fixups_) {
            auto it = labels_.find(f.label);
            if (it == labels_.end()) fail("unknown label " + f.label);
            long offset = static_cast<long>(it->second) - static_cast<long>(f.next);
            out_[f.at] = static_cast<std::uint8_t>(offset & 0xFF);
            out_[f.at + 1] = static_cast<std::uint8_t>((offset >> 8) & 0xFF);
        }
        return out_;
    }

private:
    struct Fixup {
        std::size_t at, next;
        std::string label;
    };

    [[noreturn]] void fail(const std::string& what) {
        throw AssemblyError(what + (pos_ < lines_.size() ? " at: " + lines_[pos_] : std::string()));
    }

    void u8(unsigned v) { out_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(unsigned v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void str(const std::string& s) {
        out_.insert(out_.end(), s.begin(), s.end());
        u8(0);
    }
    void patch16(std::size_t at, std::size_t v) {
        out_[at] = static_cast<std::uint8_t>(v & 0xFF);
        out_[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }
    // Opens an action with operands; returns where its length goes.
    std::size_t open(std::uint8_t code) {
        u8(code);
        std::size_t at = out_.size();
        u16(0);
        return at;
    }
    void close(std::size_t lengthAt) { patch16(lengthAt, out_.size() - lengthAt - 2); }

    // Splits "a, "b, c", 3" at top-level commas.
    static std::vector<std::string> split(const std::string& s) {
        std::vector<std::string> parts;
        std::string cur;
        bool quoted = false;
        for (std::size_t i = 0; i < s.size(); ++i) {
            char c = s[i];
            if (c == '"' && (i == 0 || s[i - 1] != '\\')) quoted = !quoted;
            if (c == ',' && !quoted) {
                parts.push_back(trim(cur));
                cur.clear();
            } else {
                cur.push_back(c);
            }
        }
        if (!trim(cur).empty()) parts.push_back(trim(cur));
        return parts;
    }

    std::string unquote(const std::string& s) {
        if (s.size() < 2 || s.front() != '"' || s.back() != '"') fail("expected a string");
        std::string out;
        for (std::size_t i = 1; i + 1 < s.size(); ++i) {
            if (s[i] == '\\' && i + 2 < s.size()) {
                char n = s[++i];
                out.push_back(n == 'n' ? '\n' : n == 'r' ? '\r' : n == 't' ? '\t' : n);
            } else {
                out.push_back(s[i]);
            }
        }
        return out;
    }

    void pushValue(const std::string& v) {
        if (v.empty()) fail("empty push value");
        if (v[0] == '"') {
            u8(PushType::String);
            str(unquote(v));
        } else if (v == "null") {
            u8(PushType::Null);
        } else if (v == "undefined") {
            u8(PushType::Undefined);
        } else if (v == "true" || v == "false") {
            u8(PushType::Boolean);
            u8(v == "true");
        } else if (v.rfind("r:", 0) == 0) {
            u8(PushType::Register);
            u8(static_cast<unsigned>(std::stoul(v.substr(2))));
        } else if (v.rfind("c:", 0) == 0) {
            unsigned n = static_cast<unsigned>(std::stoul(v.substr(2)));
            if (n < 256) {
                u8(PushType::Constant8);
                u8(n);
            } else {
                u8(PushType::Constant16);
                u16(n);
            }
        } else if (v.rfind("f:", 0) == 0) {
            float f = std::stof(v.substr(2));
            std::uint32_t bits;
            std::memcpy(&bits, &f, 4);
            u8(PushType::Float);
            u32(bits);
        } else {
            bool forceDouble = v.rfind("d:", 0) == 0;
            std::string text = forceDouble ? v.substr(2) : v;
            double d = text == "NaN" ? NAN : text == "Infinity" ? INFINITY : text == "-Infinity" ? -INFINITY : std::stod(text);
            if (!forceDouble && d == static_cast<double>(static_cast<std::int32_t>(d)) &&
                text.find_first_of(".eE") == std::string::npos) {
                u8(PushType::Integer);
                u32(static_cast<std::uint32_t>(static_cast<std::int32_t>(d)));
            } else {
                std::uint64_t bits;
                std::memcpy(&bits, &d, 8);
                u8(PushType::Double);
                u32(static_cast<std::uint32_t>(bits >> 32));
                u32(static_cast<std::uint32_t>(bits));
            }
        }
    }

    // "name(a, r1:b) regs=3 flags=0x1 {" -> fields
    void function(const std::string& rest, bool v2) {
        std::size_t paren = rest.find('(');
        std::size_t closeParen = rest.find(')');
        if (paren == std::string::npos || closeParen == std::string::npos) fail("bad function header");
        std::string name = trim(rest.substr(0, paren));
        std::vector<std::string> params = split(rest.substr(paren + 1, closeParen - paren - 1));
        unsigned regs = 0, flags = 0;
        std::istringstream tail(rest.substr(closeParen + 1));
        std::string word;
        while (tail >> word) {
            if (word.rfind("regs=", 0) == 0) regs = static_cast<unsigned>(std::stoul(word.substr(5), nullptr, 0));
            else if (word.rfind("flags=", 0) == 0) flags = static_cast<unsigned>(std::stoul(word.substr(6), nullptr, 0));
            else if (word != "{") fail("bad function option " + word);
        }
        std::size_t lengthAt = open(v2 ? Op::DefineFunction2 : Op::DefineFunction);
        str(name);
        u16(static_cast<unsigned>(params.size()));
        if (v2) {
            u8(regs);
            u16(flags);
        }
        for (const std::string& p : params) {
            if (v2) {
                std::size_t colon = p.find(':');
                if (p.rfind("r", 0) == 0 && colon != std::string::npos) {
                    u8(static_cast<unsigned>(std::stoul(p.substr(1, colon - 1))));
                    str(p.substr(colon + 1));
                } else {
                    u8(0);
                    str(p);
                }
            } else {
                str(p);
            }
        }
        sizedBody(lengthAt);
    }

    void withBlock() { sizedBody(open(Op::With)); }

    // Ends the record opened at `lengthAt` with the size of the body that
    // follows it (DefineFunction and With), then assembles that body.
    void sizedBody(std::size_t lengthAt) {
        std::size_t sizeAt = out_.size();
        u16(0);
        close(lengthAt);
        std::size_t bodyStart = out_.size();
        ++pos_;
        block(true);
        patch16(sizeAt, out_.size() - bodyStart);
    }

    void tryBlock(const std::string& rest) {
        std::string target = trim(rest.substr(0, rest.find('{')));
        bool inRegister = !target.empty() && target[0] == 'r';
        std::size_t lengthAt = open(Op::Try);
        std::size_t flagsAt = out_.size();
        u8(0);
        std::size_t sizesAt = out_.size();
        u16(0);
        u16(0);
        u16(0);
        if (inRegister) u8(static_cast<unsigned>(std::stoul(target.substr(1))));
        else str(target.empty() ? std::string() : unquote(target));
        close(lengthAt);
        unsigned flags = inRegister ? 0x04 : 0;
        std::size_t start = out_.size();
        ++pos_;
        block(true);
        patch16(sizesAt, out_.size() - start);
        if (pos_ < lines_.size() && lower(lines_[pos_]).rfind("catch", 0) == 0) {
            flags |= 0x01;
            start = out_.size();
            ++pos_;
            block(true);
            patch16(sizesAt + 2, out_.size() - start);
        }
        if (pos_ < lines_.size() && lower(lines_[pos_]).rfind("finally", 0) == 0) {
            flags |= 0x02;
            start = out_.size();
            ++pos_;
            block(true);
            patch16(sizesAt + 4, out_.size() - start);
        }
        out_[flagsAt] = static_cast<std::uint8_t>(flags);
    }

    std::uint8_t opcodeOf(const std::string& name) {
        std::string wanted = lower(name);
        for (int code = 0; code < 256; ++code) {
            if (lower(actionName(static_cast<std::uint8_t>(code))) == wanted) return static_cast<std::uint8_t>(code);
        }
        fail("unknown action " + name);
    }

    void line(const std::string& text) {
        std::size_t space = text.find_first_of(" \t");
        std::string op = lower(text.substr(0, space));
        std::string rest = space == std::string::npos ? std::string() : trim(text.substr(space + 1));
        if (op == "push") {
            std::size_t at = open(Op::Push);
            for (const std::string& v : split(rest)) pushValue(v);
            close(at);
        } else if (op == "jump" || op == "if") {
            std::size_t at = open(op == "jump" ? Op::Jump : Op::If);
            fixups_.push_back({out_.size(), out_.size() + 2, rest});
            u16(0);
            close(at);
        } else if (op == "constants") {
            std::vector<std::string> items = split(rest);
            std::size_t at = open(Op::ConstantPool);
            u16(static_cast<unsigned>(items.size()));
            for (const std::string& s : items) str(unquote(s));
            close(at);
        } else if (op == "store") {
            std::size_t at = open(Op::StoreRegister);
            u8(static_cast<unsigned>(std::stoul(rest)));
            close(at);
        } else if (op == "gotoframe") {
            std::size_t at = open(Op::GotoFrame);
            u16(static_cast<unsigned>(std::stoul(rest)));
            close(at);
        } else if (op == "gotolabel" || op == "settarget") {
            std::size_t at = open(op == "gotolabel" ? Op::GotoLabel : Op::SetTarget);
            str(unquote(rest));
            close(at);
        } else if (op == "geturl") {
            std::vector<std::string> parts = split(rest);
            if (parts.size() != 2) fail("getUrl needs url and target");
            std::size_t at = open(Op::GetUrl);
            str(unquote(parts[0]));
            str(unquote(parts[1]));
            close(at);
        } else if (op == "geturl2" || op == "waitforframe2") {
            std::size_t at = open(op == "geturl2" ? Op::GetUrl2 : Op::WaitForFrame2);
            u8(static_cast<unsigned>(std::stoul(rest, nullptr, 0)));
            close(at);
        } else if (op == "gotoframe2") {
            std::istringstream in(rest);
            unsigned flags = 0, bias = 0;
            in >> flags >> bias;
            std::size_t at = open(Op::GotoFrame2);
            u8(flags);
            if (flags & 2) u16(bias);
            close(at);
        } else if (op == "waitforframe") {
            std::istringstream in(rest);
            unsigned frame = 0, skip = 0;
            in >> frame >> skip;
            std::size_t at = open(Op::WaitForFrame);
            u16(frame);
            u8(skip);
            close(at);
        } else if (op == "raw") {
            std::istringstream in(rest);
            std::string byte;
            while (in >> byte) u8(static_cast<unsigned>(std::stoul(byte, nullptr, 0)));
        } else {
            std::uint8_t code = opcodeOf(op);
            if (code >= 0x80) fail("action needs operands");
            u8(code);
        }
    }

    void block(bool nested) {
        while (pos_ < lines_.size()) {
            const std::string& text = lines_[pos_];
            if (text == "}" || text.rfind("} ", 0) == 0) {
                if (!nested) return;
                // "} catch {" and "} finally {" continue a try.
                std::string rest = trim(text.substr(1));
                if (rest.empty()) ++pos_;
                else lines_[pos_] = rest;
                return;
            }
            std::string op = lower(text.substr(0, text.find_first_of(" \t(")));
            if (text.back() == ':' && text.find(' ') == std::string::npos) {
                labels_[text.substr(0, text.size() - 1)] = out_.size();
                ++pos_;
            } else if (op == "function" || op == "function2") {
                function(trim(text.substr(op.size())), op == "function2");
            } else if (op == "with") {
                withBlock();
            } else if (op == "try") {
                tryBlock(trim(text.substr(3)));
            } else {
                line(text);
                ++pos_;
            }
        }
        if (nested) fail("missing '}'");
    }

    std::vector<std::string> lines_;
    std::size_t pos_ = 0;
    std::vector<std::uint8_t> out_;
    std::map<std::string, std::size_t> labels_;
    std::vector<Fixup> fixups_;
};

}  // namespace

std::vector<std::uint8_t> assemble(const std::string& source) { return Assembler(source).run(); }

}  // namespace kinolux::avm1::test
