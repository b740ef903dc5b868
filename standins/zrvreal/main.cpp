// Stand-in for the battle-animation program: it has nothing to show yet and
// exits at once, which its callers treat as an animation that has ended.
int main()
{
    return 0;
}
