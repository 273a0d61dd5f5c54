#pragma once

// Properties: the reflected fields of structs, classes and function parameters. A property
// knows its name, offset, flags, specifiers and metadata, and how to read and write a value
// of its type at an address; container properties reach their elements through the typed
// operations that the generated code instantiates for the exact C++ type.

#include "CoreMinimal.h"
#include "Internationalization/Text.h"
#include "UObject/Class.h"
#include "UObject/ObjectMacros.h"

#include <cmath>
#include <limits>
#include <memory>
#include <type_traits>

class FReferenceCollector;
class FSoftObjectPath;

class COREUOBJECT_API FProperty
{
public:
	FProperty(FName InName, int32 InOffset, int32 InElementSize, EPropertyFlags InFlags);
	virtual ~FProperty() = default;
	FProperty(const FProperty&) = delete;
	FProperty& operator=(const FProperty&) = delete;

	FName GetFName() const { return Name; }
	/** The name as declared; the FName may show another spelling that the name table saw first. */
	const FString& GetName() const { return AuthoredName; }
	const FString& GetAuthoredName() const { return AuthoredName; }
	/** Sets the declared spelling (reflection builders do, since an FName may not keep it). */
	void SetAuthoredName(const FString& InName);
	int32 GetOffset_ForInternal() const { return Offset; }
	int32 GetSize() const { return ElementSize; }
	/** The C++ type as declared ("int32", "TArray<FHCTexture>", "TObjectPtr<UTexture2D>"). */
	virtual FString GetCPPType() const = 0;

	EPropertyFlags GetPropertyFlags() const { return PropertyFlags; }
	bool HasAnyPropertyFlags(EPropertyFlags Flags) const { return EnumHasAnyFlags(PropertyFlags, Flags); }
	bool HasAllPropertyFlags(EPropertyFlags Flags) const { return EnumHasAllFlags(PropertyFlags, Flags); }
	void SetPropertyFlags(EPropertyFlags Flags) { PropertyFlags |= Flags; }

	FReflectionMetaData& GetReflectionData() { return Reflection; }
	const FReflectionMetaData& GetReflectionData() const { return Reflection; }
	const TArray<FString>& GetSpecifiers() const { return Reflection.GetSpecifiers(); }
	const FString& GetMetaData(const FName& Key) const { return Reflection.GetMetaData(Key); }
	bool HasMetaData(const FName& Key) const { return Reflection.HasMetaData(Key); }

	UStruct* GetOwnerStruct() const { return Owner; }
	void SetOwnerStruct(UStruct* InOwner) { Owner = InOwner; }

	template <typename ValueType = void>
	ValueType* ContainerPtrToValuePtr(void* Container, int32 ArrayIndex = 0) const
	{
		return reinterpret_cast<ValueType*>(static_cast<uint8*>(Container) + Offset + ArrayIndex * ElementSize);
	}
	template <typename ValueType = void>
	const ValueType* ContainerPtrToValuePtr(const void* Container, int32 ArrayIndex = 0) const
	{
		return reinterpret_cast<const ValueType*>(static_cast<const uint8*>(Container) + Offset + ArrayIndex * ElementSize);
	}

	/** True when values of this property can hold object references (for collection). */
	virtual bool ContainsObjectReference() const { return false; }
	/** Reports every object reference inside the value at Value. */
	virtual void VisitReferences(void* Value, FReferenceCollector& Collector) const {}

private:
	FName Name;
	FString AuthoredName;
	int32 Offset;
	int32 ElementSize;
	EPropertyFlags PropertyFlags;
	UStruct* Owner = nullptr;
	FReflectionMetaData Reflection;
};

/** The engine's checked downcast of a property to a property class; null when it is another kind. */
template <typename T>
T* CastField(FProperty* Property)
{
	return dynamic_cast<T*>(Property);
}
template <typename T>
const T* CastField(const FProperty* Property)
{
	return dynamic_cast<const T*>(Property);
}

class COREUOBJECT_API FBoolProperty : public FProperty
{
public:
	FBoolProperty(FName InName, int32 InOffset, EPropertyFlags InFlags) : FProperty(InName, InOffset, sizeof(bool), InFlags) {}
	FString GetCPPType() const override { return FString("bool"); }
	bool GetPropertyValue(const void* Value) const { return *static_cast<const bool*>(Value); }
	void SetPropertyValue(void* Value, bool bNewValue) const { *static_cast<bool*>(Value) = bNewValue; }
};

/** A number of any width; the typed subclasses below say which. */
class COREUOBJECT_API FNumericProperty : public FProperty
{
public:
	using FProperty::FProperty;

	virtual bool IsFloatingPoint() const = 0;
	bool IsInteger() const { return !IsFloatingPoint(); }
	virtual bool IsSigned() const = 0;
	/** The reflected enumeration of an enum-as-byte field, else null. */
	virtual UEnum* GetIntPropertyEnum() const { return nullptr; }
	bool IsEnum() const { return GetIntPropertyEnum() != nullptr; }
	/** False (value unchanged) when the number does not fit the type. */
	virtual bool CanHoldValue(double Number) const = 0;

	virtual void SetIntPropertyValue(void* Data, int64 Value) const = 0;
	virtual void SetIntPropertyValue(void* Data, uint64 Value) const = 0;
	virtual void SetFloatingPointPropertyValue(void* Data, double Value) const = 0;
	virtual int64 GetSignedIntPropertyValue(const void* Data) const = 0;
	virtual uint64 GetUnsignedIntPropertyValue(const void* Data) const = 0;
	virtual double GetFloatingPointPropertyValue(const void* Data) const = 0;
	FString GetNumericPropertyValueToString(const void* Data) const;
};

class COREUOBJECT_API FStrProperty : public FProperty
{
public:
	FStrProperty(FName InName, int32 InOffset, EPropertyFlags InFlags) : FProperty(InName, InOffset, sizeof(FString), InFlags) {}
	FString GetCPPType() const override { return FString("FString"); }
	const FString& GetPropertyValue(const void* Value) const { return *static_cast<const FString*>(Value); }
	void SetPropertyValue(void* Value, const FString& NewValue) const { *static_cast<FString*>(Value) = NewValue; }
};

class COREUOBJECT_API FNameProperty : public FProperty
{
public:
	FNameProperty(FName InName, int32 InOffset, EPropertyFlags InFlags) : FProperty(InName, InOffset, sizeof(FName), InFlags) {}
	FString GetCPPType() const override { return FString("FName"); }
	FName GetPropertyValue(const void* Value) const { return *static_cast<const FName*>(Value); }
	void SetPropertyValue(void* Value, FName NewValue) const { *static_cast<FName*>(Value) = NewValue; }
};

class COREUOBJECT_API FTextProperty : public FProperty
{
public:
	FTextProperty(FName InName, int32 InOffset, EPropertyFlags InFlags) : FProperty(InName, InOffset, sizeof(FText), InFlags) {}
	FString GetCPPType() const override { return FString("FText"); }
	const FText& GetPropertyValue(const void* Value) const { return *static_cast<const FText*>(Value); }
	void SetPropertyValue(void* Value, const FText& NewValue) const { *static_cast<FText*>(Value) = NewValue; }
};

/** An `enum class` field: an enumeration over an integer property of its underlying type. */
class COREUOBJECT_API FEnumProperty : public FProperty
{
public:
	FEnumProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, std::unique_ptr<FNumericProperty> InUnderlying, UEnum* InEnum);
	FString GetCPPType() const override;
	FNumericProperty* GetUnderlyingProperty() const { return Underlying.get(); }
	UEnum* GetEnum() const { return Enum; }

private:
	std::unique_ptr<FNumericProperty> Underlying;
	UEnum* Enum;
};

class COREUOBJECT_API FStructProperty : public FProperty
{
public:
	FStructProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UScriptStruct* InStruct);
	FString GetCPPType() const override;
	bool ContainsObjectReference() const override;
	void VisitReferences(void* Value, FReferenceCollector& Collector) const override;

	UScriptStruct* Struct;
};

/** Typed operations on one TArray<T> type. */
struct COREUOBJECT_API IScriptArrayOps
{
	virtual ~IScriptArrayOps() = default;
	virtual int32 Num(const void* Array) const = 0;
	virtual void* GetElement(void* Array, int32 Index) const = 0;
	virtual const void* GetElement(const void* Array, int32 Index) const = 0;
	/** Grows with default-constructed elements or shrinks from the end. */
	virtual void Resize(void* Array, int32 NewNum) const = 0;
};

class COREUOBJECT_API FArrayProperty : public FProperty
{
public:
	FArrayProperty(FName InName, int32 InOffset, int32 InSize, EPropertyFlags InFlags, std::unique_ptr<FProperty> InInner,
		std::unique_ptr<IScriptArrayOps> InOps);
	FString GetCPPType() const override;
	bool ContainsObjectReference() const override { return Inner->ContainsObjectReference(); }
	void VisitReferences(void* Value, FReferenceCollector& Collector) const override;

	/** The element property; its offset is 0 within an element. */
	FProperty* Inner;
	const IScriptArrayOps& GetOps() const { return *Ops; }

private:
	std::unique_ptr<FProperty> InnerStorage;
	std::unique_ptr<IScriptArrayOps> Ops;
};

/** Typed operations on one TMap<K, V> type. */
struct COREUOBJECT_API IScriptMapOps
{
	virtual ~IScriptMapOps() = default;
	virtual int32 Num(const void* Map) const = 0;
	virtual void Empty(void* Map) const = 0;
	/** Visits the pairs in iteration order. */
	virtual void ForEachPair(void* Map, const TFunction<void(void* Key, void* Value)>& Visit) const = 0;
	/** Default-constructs a key and a value, lets Fill set them and adds the pair if Fill returns true. */
	virtual bool AddPair(void* Map, const TFunction<bool(void* Key, void* Value)>& Fill) const = 0;
	/** Visits the pairs in iteration order, removing those for which Visit returns true. */
	virtual void RemoveIf(void* Map, const TFunction<bool(void* Key, void* Value)>& Visit) const = 0;
};

class COREUOBJECT_API FMapProperty : public FProperty
{
public:
	FMapProperty(FName InName, int32 InOffset, int32 InSize, EPropertyFlags InFlags, std::unique_ptr<FProperty> InKey,
		std::unique_ptr<FProperty> InValue, std::unique_ptr<IScriptMapOps> InOps);
	FString GetCPPType() const override;
	bool ContainsObjectReference() const override { return KeyProp->ContainsObjectReference() || ValueProp->ContainsObjectReference(); }
	void VisitReferences(void* Value, FReferenceCollector& Collector) const override;

	FProperty* KeyProp;
	FProperty* ValueProp;
	const IScriptMapOps& GetOps() const { return *Ops; }

private:
	std::unique_ptr<FProperty> KeyStorage;
	std::unique_ptr<FProperty> ValueStorage;
	std::unique_ptr<IScriptMapOps> Ops;
};

/** Typed operations on one TSet<T> type. */
struct COREUOBJECT_API IScriptSetOps
{
	virtual ~IScriptSetOps() = default;
	virtual int32 Num(const void* Set) const = 0;
	virtual void Empty(void* Set) const = 0;
	/** Visits the elements in iteration order; they must not be changed (they are keys). */
	virtual void ForEachElement(const void* Set, const TFunction<void(const void* Element)>& Visit) const = 0;
	virtual bool AddElement(void* Set, const TFunction<bool(void* Element)>& Fill) const = 0;
	/** Visits the elements in iteration order, removing those for which Visit returns true. */
	virtual void RemoveIf(void* Set, const TFunction<bool(const void* Element)>& Visit) const = 0;
};

class COREUOBJECT_API FSetProperty : public FProperty
{
public:
	FSetProperty(FName InName, int32 InOffset, int32 InSize, EPropertyFlags InFlags, std::unique_ptr<FProperty> InElement,
		std::unique_ptr<IScriptSetOps> InOps);
	FString GetCPPType() const override;
	bool ContainsObjectReference() const override { return ElementProp->ContainsObjectReference(); }
	void VisitReferences(void* Value, FReferenceCollector& Collector) const override;

	FProperty* ElementProp;
	const IScriptSetOps& GetOps() const { return *Ops; }

private:
	std::unique_ptr<FProperty> ElementStorage;
	std::unique_ptr<IScriptSetOps> Ops;
};

/** Any reference to an object: strong (T*, TObjectPtr), weak, soft or to a class. */
class COREUOBJECT_API FObjectPropertyBase : public FProperty
{
public:
	FObjectPropertyBase(FName InName, int32 InOffset, int32 InSize, EPropertyFlags InFlags, UClass* InPropertyClass);

	/** The object referenced (loaded and alive), or null. */
	virtual UObject* GetObjectPropertyValue(const void* Value) const = 0;
	virtual void SetObjectPropertyValue(void* Value, UObject* NewValue) const = 0;
	void SetPropertyClass(UClass* NewClass) { PropertyClass = NewClass; }

	UClass* PropertyClass;
};

/** A strong reference: T* or TObjectPtr<T>, both one pointer wide. */
class COREUOBJECT_API FObjectProperty : public FObjectPropertyBase
{
public:
	FObjectProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UClass* InPropertyClass, bool bInObjectPtr);
	FString GetCPPType() const override;
	UObject* GetObjectPropertyValue(const void* Value) const override { return *static_cast<UObject* const*>(Value); }
	void SetObjectPropertyValue(void* Value, UObject* NewValue) const override { *static_cast<UObject**>(Value) = NewValue; }
	bool ContainsObjectReference() const override { return true; }
	void VisitReferences(void* Value, FReferenceCollector& Collector) const override;

private:
	bool bObjectPtr;
};

/** A class reference: UClass* or TSubclassOf<T>, whose values are classes derived from MetaClass. */
class COREUOBJECT_API FClassProperty : public FObjectProperty
{
public:
	FClassProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UClass* InMetaClass, bool bInSubclassOf);
	FString GetCPPType() const override;

	UClass* MetaClass;

private:
	bool bSubclassOf;
};

class COREUOBJECT_API FWeakObjectProperty : public FObjectPropertyBase
{
public:
	FWeakObjectProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UClass* InPropertyClass);
	FString GetCPPType() const override;
	UObject* GetObjectPropertyValue(const void* Value) const override;
	void SetObjectPropertyValue(void* Value, UObject* NewValue) const override;
};

/** A soft reference: an object path, loaded on demand. */
class COREUOBJECT_API FSoftObjectProperty : public FObjectPropertyBase
{
public:
	FSoftObjectProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UClass* InPropertyClass);
	FString GetCPPType() const override;
	/** The object if it is already in memory; does not load. */
	UObject* GetObjectPropertyValue(const void* Value) const override;
	void SetObjectPropertyValue(void* Value, UObject* NewValue) const override;
	const FSoftObjectPath& GetSoftObjectPath(const void* Value) const;
	void SetSoftObjectPath(void* Value, const FSoftObjectPath& Path) const;
};

/** The number operations for one C++ number type. */
template <typename NumberType>
class TProperty_Numeric : public FNumericProperty
{
public:
	TProperty_Numeric(FName InName, int32 InOffset, EPropertyFlags InFlags) : FNumericProperty(InName, InOffset, sizeof(NumberType), InFlags) {}

	bool IsFloatingPoint() const override { return std::is_floating_point_v<NumberType>; }
	bool IsSigned() const override { return std::is_signed_v<NumberType>; }
	bool CanHoldValue(double Number) const override
	{
		if constexpr (std::is_floating_point_v<NumberType>)
		{
			return true;
		}
		else
		{
			// Integers take integral numbers within range only. The bounds are powers of two,
			// which doubles hold exactly, so no conversion below can overflow.
			const double UpperExclusive = std::ldexp(1.0, std::numeric_limits<NumberType>::digits);
			const double Lower = std::is_signed_v<NumberType> ? -UpperExclusive : 0.0;
			return Number >= Lower && Number < UpperExclusive && Number == std::trunc(Number);
		}
	}
	void SetIntPropertyValue(void* Data, int64 Value) const override { *static_cast<NumberType*>(Data) = static_cast<NumberType>(Value); }
	void SetIntPropertyValue(void* Data, uint64 Value) const override { *static_cast<NumberType*>(Data) = static_cast<NumberType>(Value); }
	void SetFloatingPointPropertyValue(void* Data, double Value) const override
	{
		*static_cast<NumberType*>(Data) = static_cast<NumberType>(Value);
	}
	int64 GetSignedIntPropertyValue(const void* Data) const override { return static_cast<int64>(*static_cast<const NumberType*>(Data)); }
	uint64 GetUnsignedIntPropertyValue(const void* Data) const override { return static_cast<uint64>(*static_cast<const NumberType*>(Data)); }
	double GetFloatingPointPropertyValue(const void* Data) const override { return static_cast<double>(*static_cast<const NumberType*>(Data)); }
	NumberType GetPropertyValue(const void* Data) const { return *static_cast<const NumberType*>(Data); }
	void SetPropertyValue(void* Data, NumberType Value) const { *static_cast<NumberType*>(Data) = Value; }
};

#define VORPEX_DECLARE_NUMERIC_PROPERTY(ClassName, NumberType)                                       \
	class COREUOBJECT_API ClassName : public TProperty_Numeric<NumberType>                             \
	{                                                                                                  \
	public:                                                                                            \
		using TProperty_Numeric<NumberType>::TProperty_Numeric;                                        \
		FString GetCPPType() const override { return FString(#NumberType); }                          \
	};

VORPEX_DECLARE_NUMERIC_PROPERTY(FInt8Property, int8)
VORPEX_DECLARE_NUMERIC_PROPERTY(FInt16Property, int16)
VORPEX_DECLARE_NUMERIC_PROPERTY(FIntProperty, int32)
VORPEX_DECLARE_NUMERIC_PROPERTY(FInt64Property, int64)
VORPEX_DECLARE_NUMERIC_PROPERTY(FUInt16Property, uint16)
VORPEX_DECLARE_NUMERIC_PROPERTY(FUInt32Property, uint32)
VORPEX_DECLARE_NUMERIC_PROPERTY(FUInt64Property, uint64)
VORPEX_DECLARE_NUMERIC_PROPERTY(FFloatProperty, float)
VORPEX_DECLARE_NUMERIC_PROPERTY(FDoubleProperty, double)
#undef VORPEX_DECLARE_NUMERIC_PROPERTY

/** A byte, or an old-style enumeration stored in a byte (TEnumAsByte), then Enum is set. */
class COREUOBJECT_API FByteProperty : public TProperty_Numeric<uint8>
{
public:
	FByteProperty(FName InName, int32 InOffset, EPropertyFlags InFlags, UEnum* InEnum = nullptr)
		: TProperty_Numeric<uint8>(InName, InOffset, InFlags), Enum(InEnum)
	{
	}
	FString GetCPPType() const override;
	UEnum* GetIntPropertyEnum() const override { return Enum; }

	UEnum* Enum;
};
