int a;
int helper(void)
{
}
