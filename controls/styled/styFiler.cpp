#include "controls/styled/styFiler.h"

void TStyPropertyWriter::DefineBinaryProperty(const std::string& name, BinaryReader,
                                              BinaryWriter write, bool hasData) {
    if (!hasData || !write) return;
    TMemoryStream s;
    write(s);
    TDfmValue v;
    v.kind = TDfmValue::vBinary;
    v.s.assign(reinterpret_cast<const char*>(s.Bytes().data()), s.Bytes().size());
    Values.emplace_back(name, std::move(v));
}

void TStyPropertyWriter::DefineProperty(const std::string& name, ValueReader, ValueWriter write,
                                        bool hasData) {
    if (hasData && write) Values.emplace_back(name, write());
}

const TDfmValue* TStyPropertyWriter::Find(const std::string& name) const {
    for (const auto& [n, v] : Values)
        if (SameText(n, name)) return &v;
    return nullptr;
}

void TStyPropertyReader::DefineBinaryProperty(const std::string& name, BinaryReader read,
                                              BinaryWriter, bool) {
    if (Found || !SameText(name, name_) || !read) return;
    if (value_.kind != TDfmValue::vBinary) throw EReadError("Invalid property value: " + name);
    Found = true;
    TMemoryStream s;
    s.WriteBuffer(value_.s.data(), int64_t(value_.s.size()));
    s.SetPosition(0);
    read(s);
}

void TStyPropertyReader::DefineProperty(const std::string& name, ValueReader read, ValueWriter,
                                        bool) {
    if (Found || !SameText(name, name_) || !read) return;
    Found = true;
    read(value_);
}

TDfmValue StyIntList(const std::vector<long long>& values) {
    TDfmValue v;
    v.kind = TDfmValue::vList;
    for (long long i : values) {
        TDfmValue e;
        e.kind = TDfmValue::vInt;
        e.i = i;
        v.list.push_back(e);
    }
    return v;
}

std::vector<long long> StyIntsOf(const TDfmValue& v) {
    if (v.kind != TDfmValue::vList)
        throw EReadError("Invalid property value: a list of integers expected");
    std::vector<long long> out;
    out.reserve(v.list.size());
    for (const TDfmValue& e : v.list) {
        if (e.kind != TDfmValue::vInt)
            throw EReadError("Invalid property value: a list of integers expected");
        out.push_back(e.i);
    }
    return out;
}
