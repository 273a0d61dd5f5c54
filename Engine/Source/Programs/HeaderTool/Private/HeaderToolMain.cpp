#include "HeaderTool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int ArgumentCount, char** Arguments)
{
	return FHeaderTool::Run(std::vector<std::string>(Arguments + 1, Arguments + ArgumentCount), std::cerr);
}
