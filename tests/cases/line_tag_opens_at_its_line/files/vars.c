one
two
three
four
