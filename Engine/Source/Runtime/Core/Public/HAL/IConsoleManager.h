#pragma once

// Console variables: named run-time settings ("vorpex.TextureEditing.KeepUnchanged") that code
// declares where it uses them and hosts set by name, from a command line or a console.
//
//   static TAutoConsoleVariable<int32> CVarKeepUnchanged(TEXT("vorpex.TextureEditing.KeepUnchanged"), 0,
//       TEXT("Keep the results of processors whose inputs did not change."));
//   if (CVarKeepUnchanged.GetValueOnRenderThread() != 0) { ... }
//
//   IConsoleManager::Get().FindConsoleVariable(TEXT("vorpex.TextureEditing.KeepUnchanged"))->Set(TEXT("1"));
//
// Names compare without letter case. Values are read and written atomically, so any thread may
// read them; the engine's GetValueOnGameThread / GetValueOnRenderThread read the same value here.

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

#include <atomic>
#include <type_traits>

/** One console variable, found by name through IConsoleManager. */
class CORE_API IConsoleVariable
{
public:
	virtual ~IConsoleVariable() = default;

	/** Sets the value from text ("1", "0.5", "true"); false, with the value unchanged, when the text is not a value of the variable's type. */
	virtual bool Set(const TCHAR* Value) = 0;
	virtual int32 GetInt() const = 0;
	virtual float GetFloat() const = 0;
	bool GetBool() const { return GetInt() != 0; }
	/** The value as text, as Set takes it. */
	virtual FString GetString() const = 0;
	virtual const FString& GetName() const = 0;
	virtual const FString& GetHelp() const = 0;
};

/** The process's console variables. */
class CORE_API IConsoleManager
{
public:
	static IConsoleManager& Get();

	virtual ~IConsoleManager() = default;

	/** The variable called Name (any letter case), or null. */
	virtual IConsoleVariable* FindConsoleVariable(const TCHAR* Name) const = 0;
	/** Every registered variable, in the order they were registered. */
	virtual TArray<IConsoleVariable*> GetConsoleVariables() const = 0;
	/**
	 * Applies one "Name=Value" setting, as a command line gives it. False, with a reason in
	 * OutError and nothing changed, for a name no variable has or a value of the wrong type.
	 */
	virtual bool ProcessSetting(const FString& Setting, FString& OutError) = 0;

	/** Registers a variable; a second variable of the same name is a failed check. Called by TAutoConsoleVariable. */
	virtual void RegisterConsoleVariable(IConsoleVariable* Variable) = 0;
	virtual void UnregisterConsoleVariable(IConsoleVariable* Variable) = 0;
};

/** A console variable of type int32, float or bool that registers itself for its lifetime. */
template <typename ValueType>
class TAutoConsoleVariable final : public IConsoleVariable
{
	static_assert(std::is_same_v<ValueType, int32> || std::is_same_v<ValueType, float> || std::is_same_v<ValueType, bool>,
		"console variables hold int32, float or bool");

public:
	TAutoConsoleVariable(const TCHAR* InName, ValueType DefaultValue, const TCHAR* InHelp)
		: Name(InName)
		, Help(InHelp)
		, Value(DefaultValue)
	{
		IConsoleManager::Get().RegisterConsoleVariable(this);
	}
	~TAutoConsoleVariable() override { IConsoleManager::Get().UnregisterConsoleVariable(this); }
	TAutoConsoleVariable(const TAutoConsoleVariable&) = delete;
	TAutoConsoleVariable& operator=(const TAutoConsoleVariable&) = delete;

	ValueType GetValueOnGameThread() const { return Value.load(); }
	ValueType GetValueOnRenderThread() const { return Value.load(); }
	ValueType GetValueOnAnyThread() const { return Value.load(); }

	bool Set(const TCHAR* Text) override;
	int32 GetInt() const override { return int32(Value.load()); }
	float GetFloat() const override { return float(Value.load()); }
	FString GetString() const override;
	const FString& GetName() const override { return Name; }
	const FString& GetHelp() const override { return Help; }

private:
	FString Name;
	FString Help;
	std::atomic<ValueType> Value;
};

namespace ConsoleVariableText
{
	CORE_API bool Parse(const TCHAR* Text, int32& OutValue);
	CORE_API bool Parse(const TCHAR* Text, float& OutValue);
	CORE_API bool Parse(const TCHAR* Text, bool& OutValue);
	CORE_API FString Format(int32 Value);
	CORE_API FString Format(float Value);
	CORE_API FString Format(bool Value);
}

template <typename ValueType>
bool TAutoConsoleVariable<ValueType>::Set(const TCHAR* Text)
{
	ValueType Parsed{};
	if (!ConsoleVariableText::Parse(Text, Parsed))
	{
		return false;
	}
	Value.store(Parsed);
	return true;
}

template <typename ValueType>
FString TAutoConsoleVariable<ValueType>::GetString() const
{
	return ConsoleVariableText::Format(Value.load());
}
