#include "Internationalization/Text.h"

const FText& FText::GetEmpty()
{
	static const FText Empty;
	return Empty;
}
