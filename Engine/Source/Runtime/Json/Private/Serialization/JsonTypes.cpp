#include "Serialization/JsonTypes.h"

const TCHAR* LexToString(EJson Type)
{
	switch (Type)
	{
	case EJson::None: return TEXT("None");
	case EJson::Null: return TEXT("Null");
	case EJson::String: return TEXT("String");
	case EJson::Number: return TEXT("Number");
	case EJson::Boolean: return TEXT("Boolean");
	case EJson::Array: return TEXT("Array");
	case EJson::Object: return TEXT("Object");
	}
	return TEXT("Unknown");
}
