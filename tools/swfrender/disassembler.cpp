#include "tools/swfrender/disassembler.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "flash/avm1/action_reader.h"
#include "flash/avm1/number_format.h"

namespace swfrender {

using namespace kinolux::avm1;

namespace {

std::string quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '"') out += "\\\"";
        else out.push_back(c);
    }
    return out + "\"";
}

std::string pushOperands(OperandReader& r) {
    std::ostringstream out;
    bool first = true;
    while (!r.atEnd() && !r.failed()) {
        if (!first) out << ", ";
        first = false;
        std::uint8_t type = r.u8();
        switch (type) {
        case PushType::String: out << quoted(r.string()); break;
        case PushType::Float: out << "f:" << formatNumber(r.f32()).toUtf8(); break;
        case PushType::Null: out << "null"; break;
        case PushType::Undefined: out << "undefined"; break;
        case PushType::Register: out << "r:" << int(r.u8()); break;
        case PushType::Boolean: out << (r.u8() ? "true" : "false"); break;
        case PushType::Double: out << "d:" << formatNumber(r.f64()).toUtf8(); break;
        case PushType::Integer: out << static_cast<std::int32_t>(r.u32()); break;
        case PushType::Constant8: out << "c:" << int(r.u8()); break;
        case PushType::Constant16: out << "c:" << r.u16(); break;
        default: out << "?type" << int(type); return out.str();
        }
    }
    return out.str();
}

}  // namespace

std::string disassemble(std::span<const std::uint8_t> bytes, int swfVersion) {
    (void)swfVersion;
    std::ostringstream out;
    const std::uint8_t* begin = bytes.data();
    const std::uint8_t* end = begin + bytes.size();
    std::vector<const std::uint8_t*> blockEnds;
    for (const std::uint8_t* p = begin; p < end;) {
        while (!blockEnds.empty() && p >= blockEnds.back()) {
            blockEnds.pop_back();
            out << std::string(2 * blockEnds.size(), ' ') << "}\n";
        }
        RawAction a;
        std::string indent(2 * blockEnds.size(), ' ');
        char offset[16];
        std::snprintf(offset, sizeof offset, "%5zu ", static_cast<std::size_t>(p - begin));
        if (!readAction(p, end, a)) {
            out << offset << indent << "(record cut short)\n";
            break;
        }
        out << offset << indent << actionName(a.code);
        OperandReader r(a.operands, a.length);
        switch (a.code) {
        case Op::Push: out << ' ' << pushOperands(r); break;
        case Op::Jump:
        case Op::If: out << " -> " << (a.next - begin) + r.s16(); break;
        case Op::ConstantPool: {
            std::uint16_t n = r.u16();
            for (std::uint16_t i = 0; i < n && !r.atEnd(); ++i) out << (i ? ", " : " ") << i << ":" << quoted(r.string());
            break;
        }
        case Op::StoreRegister: out << ' ' << int(r.u8()); break;
        case Op::GotoFrame: out << ' ' << r.u16(); break;
        case Op::GotoLabel:
        case Op::SetTarget: out << ' ' << quoted(r.string()); break;
        case Op::GetUrl: out << ' ' << quoted(r.string()) << ", " << quoted(r.string()); break;
        case Op::GetUrl2:
        case Op::GotoFrame2:
        case Op::WaitForFrame2: out << " 0x" << std::hex << int(r.u8()) << std::dec; break;
        case Op::WaitForFrame: out << ' ' << r.u16() << " skip " << int(r.u8()); break;
        case Op::DefineFunction:
        case Op::DefineFunction2: {
            auto h = readDefineFunction(a);
            if (!h) break;
            out << ' ' << h->name << '(';
            for (std::size_t i = 0; i < h->params.size(); ++i) {
                if (i) out << ", ";
                if (h->params[i].reg) out << 'r' << int(h->params[i].reg) << ':';
                out << h->params[i].name;
            }
            out << ')';
            if (h->isFunction2) out << " regs=" << int(h->registerCount) << " flags=0x" << std::hex << h->flags << std::dec;
            out << " {";
            blockEnds.push_back(a.next + h->codeSize);
            break;
        }
        case Op::With: {
            std::uint16_t size = r.u16();
            out << " {";
            blockEnds.push_back(a.next + size);
            break;
        }
        case Op::Try: {
            auto h = readTry(a);
            if (!h) break;
            out << " try=" << h->trySize << " catch=" << h->catchSize << " finally=" << h->finallySize;
            if (h->catchInRegister) out << " r" << int(h->catchRegister);
            else out << ' ' << quoted(h->catchName);
            break;
        }
        default: break;
        }
        out << '\n';
        p = a.next;
    }
    while (!blockEnds.empty()) {
        blockEnds.pop_back();
        out << std::string(2 * blockEnds.size(), ' ') << "}\n";
    }
    return out.str();
}

namespace {

void listTags(std::ostringstream& out, const std::vector<swf::Tag>& tags, int version, const std::string& where) {
    int frame = 1;
    for (const swf::Tag& tag : tags) {
        if (tag.get<swf::ShowFrame>()) ++frame;
        if (const auto* a = tag.get<swf::DoAction>()) {
            out << "== " << where << " frame " << frame << " DoAction\n" << disassemble(a->actions, version);
        } else if (const auto* i = tag.get<swf::DoInitAction>()) {
            out << "== DoInitAction for sprite " << i->spriteId << "\n" << disassemble(i->actions, version);
        } else if (const auto* s = tag.get<swf::DefineSprite>()) {
            listTags(out, s->tags, version, "sprite " + std::to_string(s->id));
        } else if (const auto* p = tag.get<swf::PlaceObject>(); p && p->clipActions) {
            for (const auto& c : *p->clipActions) {
                out << "== " << where << " frame " << frame << " clip events 0x" << std::hex << c.events << std::dec
                    << " at depth " << p->depth << "\n" << disassemble(c.actions, version);
            }
        } else if (const auto* b = tag.get<swf::DefineButton>()) {
            for (const auto& c : b->actions) {
                out << "== button " << b->id << " conditions 0x" << std::hex << c.conditions << std::dec << "\n"
                    << disassemble(c.actions, version);
            }
        }
    }
}

}  // namespace

std::string listActions(const swf::Movie& movie) {
    std::ostringstream out;
    listTags(out, movie.tags, movie.header.version, "root");
    return out.str();
}

}  // namespace swfrender
