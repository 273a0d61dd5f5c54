#include "ReflectionModel.h"

#include "SpecifierParser.h"

bool FSpecifierList::Has(const std::string& Name) const
{
	for (const std::string& Specifier : Specifiers)
	{
		if (FSpecifierParser::EqualsIgnoreCase(FSpecifierParser::SpecifierName(Specifier), Name))
		{
			return true;
		}
	}
	return false;
}
