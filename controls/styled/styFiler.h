// Stored properties that a look object or component defines beyond its published ones
// (binary blocks, integer lists, texts), each with its own reader and writer. A form file
// holds them as "Name = {hex bytes}", "Name = (1 2 3)" or "Name = 'text'"; the form reader
// hands a value to the object through TStyPropertyReader, and TStyPropertyWriter collects
// what an object would store.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/vcl/component.h"

class TStyFiler {
public:
    using BinaryReader = std::function<void(TStream&)>;
    using BinaryWriter = std::function<void(TStream&)>;
    using ValueReader = std::function<void(const TDfmValue&)>;
    using ValueWriter = std::function<TDfmValue()>;
    virtual ~TStyFiler() = default;
    // `hasData`: whether the writer stores the property at all.
    virtual void DefineBinaryProperty(const std::string& name, BinaryReader read,
                                      BinaryWriter write, bool hasData) = 0;
    virtual void DefineProperty(const std::string& name, ValueReader read, ValueWriter write,
                                bool hasData) = 0;
};

// Collects the stored properties in the order they are defined.
class TStyPropertyWriter : public TStyFiler {
public:
    void DefineBinaryProperty(const std::string& name, BinaryReader, BinaryWriter write,
                              bool hasData) override;
    void DefineProperty(const std::string& name, ValueReader, ValueWriter write,
                        bool hasData) override;
    std::vector<std::pair<std::string, TDfmValue>> Values;
    const TDfmValue* Find(const std::string& name) const;
};

// Gives one stored value to the property of that name (names ignore case); Found tells
// whether the object defines it.
class TStyPropertyReader : public TStyFiler {
public:
    TStyPropertyReader(std::string name, const TDfmValue& value)
        : name_(std::move(name)), value_(value) {}
    void DefineBinaryProperty(const std::string& name, BinaryReader read, BinaryWriter,
                              bool) override;
    void DefineProperty(const std::string& name, ValueReader read, ValueWriter, bool) override;
    bool Found = false;

private:
    std::string name_;
    const TDfmValue& value_;
};

// Reads a stored property into an object that defines it (raises EReadError when it does
// not, or when the value is of another kind).
template <class Obj>
void StyReadStoredProperty(Obj* obj, const std::string& name, const TDfmValue& value) {
    TStyPropertyReader reader(name, value);
    obj->DefineProperties(reader);
    if (!reader.Found) throw EReadError("Property " + name + " does not exist");
}

// A list of integers as stored: (1 2 3).
TDfmValue StyIntList(const std::vector<long long>& values);
// The integers of a stored list (EReadError for anything else).
std::vector<long long> StyIntsOf(const TDfmValue& v);
