#include "JsonPathSegment.h"

namespace UE::JsonUtilities::Private
{
	namespace
	{
		void AppendPath(FString& Out, const FJsonPathSegment& Segment)
		{
			if (Segment.Parent)
			{
				AppendPath(Out, *Segment.Parent);
			}
			if (Segment.Kind == FJsonPathSegment::EKind::Index)
			{
				Out += FString::Printf(TEXT("[%d]"), Segment.Position);
				return;
			}
			if (!Out.IsEmpty())
			{
				Out += TEXT(".");
			}
			Out += *Segment.Name;
		}
	}

	FString FJsonPathSegment::Describe() const
	{
		FString Path;
		AppendPath(Path, *this);
		return Kind == EKind::Key ? FString::Printf(TEXT("the key of '%s'"), *Path) : FString::Printf(TEXT("'%s'"), *Path);
	}
}
