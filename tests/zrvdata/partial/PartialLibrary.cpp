// A data library that lacks almost every export: the loader must refuse it
// as a whole, and a program given it must take its failure path.
extern "C" {
const char* ErrorMessage[1] = {"E"};
int ErrorMessageCount = 1;
int g_nMaxUnit = 1;
}
