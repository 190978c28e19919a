object Form_arrange: TForm_arrange
  Left = 0
  Top = 0
  BorderStyle = bsNone
  Caption = '页面顺序'
  ClientHeight = 327
  ClientWidth = 378
  Color = clWhite
  Font.Charset = GB2312_CHARSET
  Font.Color = clBlack
  Font.Height = -12
  Font.Name = '宋体'
  Font.Style = []
  FormStyle = fsStayOnTop
  Position = poScreenCenter
  ShowHint = True
  OnShow = FormShow
  object Panel_frameTop: TPanel
    Left = 0
    Top = 0
    Width = 378
    Height = 2
    BevelOuter = bvNone
    Color = 153
  end
  object Panel_frameBottom: TPanel
    Left = 0
    Top = 325
    Width = 378
    Height = 2
    BevelOuter = bvNone
    Color = 153
  end
  object Panel_frameLeft: TPanel
    Left = 0
    Top = 0
    Width = 2
    Height = 327
    BevelOuter = bvNone
    Color = 153
  end
  object Panel_frameRight: TPanel
    Left = 376
    Top = 0
    Width = 2
    Height = 327
    BevelOuter = bvNone
    Color = 153
  end
  object Label1: TLabel
    Left = 12
    Top = 10
    Caption = '第一个文件'#10'的页面:'
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object Label2: TLabel
    Left = 95
    Top = 10
    Caption = '第二个文件'#10'的页面:'
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object Label4: TLabel
    Left = 277
    Top = 10
    Caption = '目标文件'#10'的页面:'
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
    Transparent = True
  end
  object ListBox_first: TListBox
    Left = 12
    Top = 44
    Width = 71
    Height = 227
    MultiSelect = True
    TabOrder = 0
    OnClick = ListBox_firstClick
  end
  object ListBox_second: TListBox
    Left = 95
    Top = 44
    Width = 71
    Height = 227
    MultiSelect = True
    TabOrder = 1
    OnClick = ListBox_firstClick
  end
  object StyButton_insertBefore: TStyButton
    Left = 176
    Top = 70
    Width = 92
    Height = 26
    Hint = '在选项前插入所选的页面'
    Caption = '前插入 >>'
    Color = 14671839
    Glyph.Resource = 'images/glyph_insertbefore.bmp'
    OnClick = StyButton_insertBeforeClick
  end
  object StyButton_insertAfter: TStyButton
    Left = 176
    Top = 104
    Width = 92
    Height = 26
    Hint = '在选项后插入所选的页面'
    Caption = '后插入 >>'
    Color = 14671839
    Glyph.Resource = 'images/glyph_insertafter.bmp'
    OnClick = StyButton_insertBeforeClick
  end
  object StyButton_delete: TStyButton
    Left = 176
    Top = 150
    Width = 92
    Height = 26
    Hint = '删除所选的页面'
    Caption = '<< 删除'
    Color = 14671839
    Glyph.Resource = 'images/glyph_delete.bmp'
    OnClick = StyButton_deleteClick
  end
  object StyButton_show: TStyButton
    Left = 176
    Top = 196
    Width = 92
    Height = 26
    Hint = '显示所选的页面'
    Caption = '>> 显示'
    Color = 14671839
    Glyph.Resource = 'images/glyph_show.bmp'
    OnClick = StyButton_showClick
  end
  object ListBox_destination: TListBox
    Left = 277
    Top = 44
    Width = 89
    Height = 227
    MultiSelect = True
    TabOrder = 2
  end
  object SpeedButton_close: TSpeedButton
    Left = 266
    Top = 292
    Width = 100
    Height = 22
    Hint = '关闭对话框。'
    Caption = '>> 关闭(&L)'
    Flat = True
    Font.Charset = GB2312_CHARSET
    Font.Color = 153
    Font.Height = -12
    Font.Name = '宋体'
    Font.Style = []
    ParentFont = False
    OnClick = SpeedButton_closeClick
  end
  object Panel_analyzing: TPanel
    Left = 89
    Top = 118
    Width = 200
    Height = 64
    BevelOuter = bvRaised
    Caption = '正在分析'
    Color = 6737151
    Font.Charset = GB2312_CHARSET
    Font.Color = clBlack
    Font.Height = -14
    Font.Name = '宋体'
    Font.Style = [fsBold]
    ParentFont = False
    object StaticText_dots: TStaticText
      Left = 60
      Top = 44
      Width = 80
      Height = 14
      Alignment = taCenter
      AutoSize = False
      Caption = '..........'
      Transparent = True
    end
  end
  object Timer_start: TTimer
    Enabled = False
    Interval = 500
    OnTimer = Timer_startTimer
    Left = 12
    Top = 284
  end
  object Timer_analyzing: TTimer
    Enabled = False
    OnTimer = Timer_analyzingTimer
    Left = 44
    Top = 284
  end
end
