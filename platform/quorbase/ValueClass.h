#pragma once

#include <QVector>

#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

// The value-class pattern of the client's records: an exported class `CName` holds a
// std::shared_ptr to a plain structure `Name`, copies share that structure, and every field has
// a GetVal_/SetVal_ pair. A field whose type is itself a value class is stored as that class's
// structure (and a QVector/std::vector of value classes as a vector of structures), so that
// the plain structure copies deeply.
//
// A record is declared by a field list macro F(type, name, default) per field, then
// TESK_VALUE_CLASS(EXPORT, CCameraBaseInfo, CameraBaseInfo, TESK_FIELDS_CameraBaseInfo).
// Types with commas are written through an alias.

namespace Quor::Base::Value {

template<class T, class = void>
struct IsValueClass : std::false_type
{};
template<class T>
struct IsValueClass<T, std::void_t<typename T::IsTeskValueClass>> : std::true_type
{};

// How a field of public type P is stored and converted in both directions.
template<class P, class = void>
struct Field
{
    using Stored = P;
    static const P &Wrap(const P &stored) { return stored; }
    static const P &Unwrap(const P &value) { return value; }
};

template<class P>
struct Field<P, std::enable_if_t<IsValueClass<P>::value>>
{
    using Stored = typename P::Data;
    static P Wrap(const Stored &stored) { return P(stored); }
    static Stored Unwrap(const P &value) { return value.GetData(); }
};

template<template<class...> class Vec, class P>
struct VectorField
{
    using Stored = Vec<typename P::Data>;
    static Vec<P> Wrap(const Stored &stored)
    {
        Vec<P> out;
        out.reserve(static_cast<int>(stored.size()));
        for (const auto &item : stored)
            out.push_back(P(item));
        return out;
    }
    static Stored Unwrap(const Vec<P> &value)
    {
        Stored out;
        out.reserve(static_cast<int>(value.size()));
        for (const auto &item : value)
            out.push_back(item.GetData());
        return out;
    }
};

template<class P>
struct Field<QVector<P>, std::enable_if_t<IsValueClass<P>::value>> : VectorField<QVector, P>
{};
template<class P>
struct Field<std::vector<P>, std::enable_if_t<IsValueClass<P>::value>> : VectorField<std::vector, P>
{};

template<class P>
using StoredType = typename Field<P>::Stored;

// Keeps "const T &" a reference to a const T when T is spelled "X *" in a macro argument.
template<class T>
using Same = T;

} // namespace Quor::Base::Value

#define TESK_VALUE_STRUCT_FIELD(type, name, init) ::Quor::Base::Value::StoredType<type> name = init;

#define TESK_VALUE_ACCESSORS(type, name, init)                                                     \
    auto GetVal_##name() const                                                                     \
    {                                                                                              \
        return ::Quor::Base::Value::Field<type>::Wrap(GetData().name);                             \
    }                                                                                              \
    void SetVal_##name(const ::Quor::Base::Value::Same<type> &value) &                             \
    {                                                                                              \
        Writable().name = ::Quor::Base::Value::Field<type>::Unwrap(value);                         \
    }

#define TESK_VALUE_CLASS(EXPORT, ClassName, StructName, FIELDS)                                    \
    struct StructName                                                                              \
    {                                                                                              \
        FIELDS(TESK_VALUE_STRUCT_FIELD)                                                            \
    };                                                                                             \
    class EXPORT ClassName                                                                         \
    {                                                                                              \
    public:                                                                                        \
        using Data = StructName;                                                                   \
        using IsTeskValueClass = void;                                                             \
        ClassName()                                                                                \
            : data_(std::make_shared<StructName>())                                                \
        {}                                                                                         \
        ClassName(const StructName &data)                                                          \
            : data_(std::make_shared<StructName>(data))                                            \
        {}                                                                                         \
        /* Adopts `data` even when null: GetDataPtr() then answers null, the getters answer */     \
        /* the defaults, and the first setter gives the record a structure of its own. */          \
        ClassName(std::shared_ptr<StructName> data)                                                \
            : data_(std::move(data))                                                               \
        {}                                                                                         \
        ClassName(const ClassName &) = default;                                                    \
        ClassName &operator=(const ClassName &) = default;                                         \
        virtual ~ClassName() = default;                                                            \
        std::shared_ptr<StructName> GetDataPtr() const { return data_; }                           \
        /* The shared structure without touching its reference count, for hot loops. */            \
        const StructName &GetData() const { return data_ ? *data_ : Defaults(); }                  \
        FIELDS(TESK_VALUE_ACCESSORS)                                                               \
    private:                                                                                       \
        static const StructName &Defaults()                                                        \
        {                                                                                          \
            static const StructName defaults;                                                      \
            return defaults;                                                                       \
        }                                                                                          \
        StructName &Writable()                                                                     \
        {                                                                                          \
            if (!data_)                                                                            \
                data_ = std::make_shared<StructName>();                                            \
            return *data_;                                                                         \
        }                                                                                          \
        std::shared_ptr<StructName> data_;                                                         \
    };
