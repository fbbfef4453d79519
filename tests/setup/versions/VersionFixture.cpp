// A program file for the version rules of the installer: only its version resource matters.
int main()
{
    return 0;
}
