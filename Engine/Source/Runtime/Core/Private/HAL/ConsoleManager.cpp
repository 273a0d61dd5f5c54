#include "HAL/IConsoleManager.h"

#include "Misc/AssertionMacros.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <mutex>

namespace
{
	class FConsoleManager final : public IConsoleManager
	{
	public:
		IConsoleVariable* FindConsoleVariable(const TCHAR* Name) const override
		{
			std::lock_guard Lock(Mutex);
			return FindLocked(Name);
		}

		TArray<IConsoleVariable*> GetConsoleVariables() const override
		{
			std::lock_guard Lock(Mutex);
			return Variables;
		}

		bool ProcessSetting(const FString& Setting, FString& OutError) override
		{
			FString Name;
			FString Value;
			if (!Setting.Split(TEXT("="), &Name, &Value))
			{
				OutError = FString::Printf(TEXT("'%s' is not NAME=VALUE"), *Setting);
				return false;
			}
			Name = Name.TrimStartAndEnd();
			Value = Value.TrimStartAndEnd();
			IConsoleVariable* Variable = FindConsoleVariable(*Name);
			if (!Variable)
			{
				OutError = FString::Printf(TEXT("no setting is called '%s'"), *Name);
				return false;
			}
			if (!Variable->Set(*Value))
			{
				OutError = FString::Printf(TEXT("'%s' is not a value of %s"), *Value, *Variable->GetName());
				return false;
			}
			return true;
		}

		void RegisterConsoleVariable(IConsoleVariable* Variable) override
		{
			std::lock_guard Lock(Mutex);
			checkf(FindLocked(*Variable->GetName()) == nullptr, TEXT("The console variable %s is registered twice"), *Variable->GetName());
			Variables.Add(Variable);
		}

		void UnregisterConsoleVariable(IConsoleVariable* Variable) override
		{
			std::lock_guard Lock(Mutex);
			Variables.Remove(Variable);
		}

	private:
		IConsoleVariable* FindLocked(const TCHAR* Name) const
		{
			for (IConsoleVariable* Variable : Variables)
			{
				if (Variable->GetName().Equals(Name, ESearchCase::IgnoreCase))
				{
					return Variable;
				}
			}
			return nullptr;
		}

		mutable std::mutex Mutex;
		TArray<IConsoleVariable*> Variables;
	};
}

IConsoleManager& IConsoleManager::Get()
{
	// Never destroyed: variables with static storage unregister at exit, in any order.
	static FConsoleManager* Manager = new FConsoleManager();
	return *Manager;
}

namespace ConsoleVariableText
{
	bool Parse(const TCHAR* Text, int32& OutValue)
	{
		char* End = nullptr;
		errno = 0;
		const long Parsed = std::strtol(Text, &End, 10);
		if (End == Text || *End != '\0' || errno == ERANGE || Parsed < MIN_int32 || Parsed > MAX_int32)
		{
			return false;
		}
		OutValue = int32(Parsed);
		return true;
	}

	bool Parse(const TCHAR* Text, float& OutValue)
	{
		char* End = nullptr;
		const float Parsed = std::strtof(Text, &End);
		if (End == Text || *End != '\0' || !std::isfinite(Parsed))
		{
			return false;
		}
		OutValue = Parsed;
		return true;
	}

	bool Parse(const TCHAR* Text, bool& OutValue)
	{
		const FString Value(Text);
		if (Value.Equals(TEXT("true"), ESearchCase::IgnoreCase) || Value == TEXT("1"))
		{
			OutValue = true;
			return true;
		}
		if (Value.Equals(TEXT("false"), ESearchCase::IgnoreCase) || Value == TEXT("0"))
		{
			OutValue = false;
			return true;
		}
		return false;
	}

	FString Format(int32 Value)
	{
		return FString::Printf(TEXT("%d"), Value);
	}

	FString Format(float Value)
	{
		return FString::Printf(TEXT("%g"), double(Value));
	}

	FString Format(bool Value)
	{
		return Value ? TEXT("1") : TEXT("0");
	}
}
